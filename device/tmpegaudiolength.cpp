#include "device/tmpegaudiolength.h"

#include <QFile>

#include <array>
#include <cstring>

namespace {

// Bit rates in kbit/s by [MPEG 1 or not][layer index 1..3 as III, II, I][bit-rate index].
constexpr std::array<std::array<std::array<int, 16>, 3>, 2> kBitRates{{
    {{{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}}},
    {{{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}}},
}};

// Sample rates in Hz by [version index][sample-rate index].
constexpr std::array<std::array<int, 3>, 4> kSampleRates{
    {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}}};

// The first frame is searched for this far past the ID3v2 tag.
constexpr std::size_t kSearchLimit = 64 * 1024;

}  // namespace

std::int64_t TMpegAudioLength::Measure(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 4) {
        return 0;
    }
    const uchar* bytes = file.map(0, file.size());
    if (bytes == nullptr) {
        return 0;
    }
    const std::int64_t ms =
        Measure(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(file.size())));
    file.unmap(const_cast<uchar*>(bytes));
    return ms;
}

std::int64_t TMpegAudioLength::Measure(std::span<const std::uint8_t> data) {
    const std::size_t start = SkipId3v2(data);
    const std::size_t limit = std::min(data.size(), start + kSearchLimit);
    Header first;
    std::size_t at = start;
    // A frame counts as the first only when the next header follows where its size says.
    for (; at < limit; ++at) {
        Header next;
        if (Decode(data, at, first) &&
            (at + first.size == data.size() ||
             (Decode(data, at + first.size, next) && SameStream(first, next)))) {
            break;
        }
    }
    if (at >= limit) {
        return 0;
    }
    std::int64_t samples = 0;
    if (IsInfoFrame(data, at, first)) {
        at += first.size;  // a header frame carries no sound
    }
    Header frame;
    while (Decode(data, at, frame) && SameStream(first, frame) && at + frame.size <= data.size()) {
        samples += frame.samples;
        at += frame.size;
    }
    return samples * 1000 / first.sampleRate;
}

bool TMpegAudioLength::Decode(std::span<const std::uint8_t> data, std::size_t at, Header& header) {
    if (at > data.size() || data.size() - at < 4) {
        return false;
    }
    const std::uint8_t* b = data.data() + at;
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) {
        return false;
    }
    const int version = (b[1] >> 3) & 3;
    const int layer = (b[1] >> 1) & 3;
    const int bitRateIndex = b[2] >> 4;
    const int sampleRateIndex = (b[2] >> 2) & 3;
    if (version == 1 || layer == 0 || sampleRateIndex == 3) {
        return false;
    }
    // Free-format streams (index 0) have no size in the header; they are left to the decoder.
    const int bitRate = kBitRates[version == 3 ? 1 : 0][layer - 1][bitRateIndex] * 1000;
    if (bitRate == 0) {
        return false;
    }
    const int padding = (b[2] >> 1) & 1;
    header.version = version;
    header.layer = layer;
    header.sampleRate = kSampleRates[version][sampleRateIndex];
    if (layer == 3) {
        header.samples = 384;
        header.size = (12 * bitRate / header.sampleRate + padding) * 4;
    } else {
        header.samples = (layer == 1 && version != 3) ? 576 : 1152;
        header.size = header.samples / 8 * bitRate / header.sampleRate + padding;
    }
    return header.size > 4;
}

bool TMpegAudioLength::SameStream(const Header& a, const Header& b) {
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

std::size_t TMpegAudioLength::SkipId3v2(std::span<const std::uint8_t> data) {
    if (data.size() < 10 || std::memcmp(data.data(), "ID3", 3) != 0) {
        return 0;
    }
    // The size is syncsafe: seven bits per byte; a footer adds ten bytes more.
    std::size_t size = 10;
    for (std::size_t i = 6; i < 10; ++i) {
        size += static_cast<std::size_t>(data[i] & 0x7F) << (7 * (9 - i));
    }
    if ((data[5] & 0x10) != 0) {
        size += 10;
    }
    return std::min(size, data.size());
}

bool TMpegAudioLength::IsInfoFrame(std::span<const std::uint8_t> data, std::size_t at,
                                   const Header& h) {
    const bool mono = ((data[at + 3] >> 6) & 3) == 3;
    // Xing/Info sits after the side information, VBRI always 32 bytes after the header.
    const std::size_t sideInfo = h.version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    auto tagAt = [&](std::size_t offset, const char* tag) {
        return at + offset + 4 <= data.size() &&
               std::memcmp(data.data() + at + offset, tag, 4) == 0;
    };
    return tagAt(4 + sideInfo, "Xing") || tagAt(4 + sideInfo, "Info") || tagAt(36, "VBRI");
}
