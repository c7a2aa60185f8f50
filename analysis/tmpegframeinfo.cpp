#include "analysis/tmpegframeinfo.h"

#include <algorithm>

namespace {

// kbit/s by table row and bit-rate index; the rows are picked by MPEGBitRate.
using BitRateRow = std::array<std::uint16_t, 16>;
constexpr BitRateRow kMpeg1Layer1 = {0,   32,  64,  96,  128, 160, 192, 224,
                                     256, 288, 320, 352, 384, 416, 448, 0};
constexpr BitRateRow kMpeg1Layer2 = {0,   32,  48,  56,  64,  80,  96,  112,
                                     128, 160, 192, 224, 256, 320, 384, 0};
constexpr BitRateRow kMpeg1Layer3 = {0,   32,  40,  48,  56,  64,  80,  96,
                                     112, 128, 160, 192, 224, 256, 320, 0};
constexpr BitRateRow kMpeg2Layer1 = {0,   32,  48,  56,  64,  80,  96,  112,
                                     128, 144, 160, 176, 192, 224, 256, 0};
constexpr BitRateRow kMpeg2Layer23 = {0,  8,  16, 24,  32,  40,  48,  56,
                                      64, 80, 96, 112, 128, 144, 160, 0};

// Hz by version index (2.5, reserved, 2, 1) and sample-rate index.
constexpr std::array<std::array<std::uint16_t, 4>, 4> kSampleRates = {
    {{11025, 12000, 8000, 0}, {0, 0, 0, 0}, {22050, 24000, 16000, 0}, {44100, 48000, 32000, 0}}};

constexpr std::uint8_t kMpeg1 = 3;
constexpr std::uint8_t kReservedVersion = 1;
constexpr std::uint8_t kLayer1 = 3;
constexpr std::uint8_t kLayer2 = 2;
constexpr std::uint8_t kLayer3 = 1;
constexpr std::uint8_t kMono = 3;

std::span<const std::uint8_t, 4> FourAt(std::span<const std::uint8_t> bytes, std::size_t i) {
    return bytes.subspan(i).first<4>();
}

}  // namespace

std::uint16_t MPEGBitRate(std::uint8_t versionIndex, std::uint8_t layerIndex,
                          std::uint16_t bitRateIndex) {
    if (versionIndex > 3 || versionIndex == kReservedVersion || bitRateIndex > 15) {
        return 0;
    }
    const bool mpeg1 = versionIndex == kMpeg1;
    switch (layerIndex) {
        case kLayer1:
            return (mpeg1 ? kMpeg1Layer1 : kMpeg2Layer1)[bitRateIndex];
        case kLayer2:
            return (mpeg1 ? kMpeg1Layer2 : kMpeg2Layer23)[bitRateIndex];
        case kLayer3:
            return (mpeg1 ? kMpeg1Layer3 : kMpeg2Layer23)[bitRateIndex];
        default:
            return 0;
    }
}

std::uint16_t MPEGSampleRate(std::uint8_t versionIndex, std::uint16_t sampleRateIndex) {
    if (versionIndex > 3 || sampleRateIndex > 3) {
        return 0;
    }
    return kSampleRates[versionIndex][sampleRateIndex];
}

bool IsFrameHeader(std::span<const std::uint8_t, 4> b) {
    const unsigned bitRateIndex = b[2] >> 4;
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && ((b[1] >> 3) & 3) != kReservedVersion &&
           ((b[1] >> 1) & 3) != 0 && bitRateIndex != 15 && bitRateIndex != 0 &&
           ((b[2] >> 2) & 3) != 3 && (b[3] & 3) != 2;
}

void DecodeFrameHeader(std::span<const std::uint8_t, 4> b, TMPEGFrameInfo& frame) {
    std::copy(b.begin(), b.end(), frame.HeaderBytes.begin());
    frame.VersionIndex = (b[1] >> 3) & 3;
    frame.LayerIndex = (b[1] >> 1) & 3;
    frame.HasCRC = (b[1] & 1) == 0;
    frame.BitRateIndex = b[2] >> 4;
    frame.SampleRateIndex = (b[2] >> 2) & 3;
    frame.Padded = (b[2] & 2) != 0;
    frame.PrivateBit = (b[2] & 1) != 0;
    frame.ChannelModeIndex = b[3] >> 6;
    frame.ModeExtension = (b[3] >> 4) & 3;
    frame.Copyrighted = (b[3] & 8) != 0;
    frame.Original = (b[3] & 4) != 0;
    frame.EmphasisIndex = b[3] & 3;
}

std::uint16_t FrameCoefficient(const TMPEGFrameInfo& frame) {
    if (frame.LayerIndex == kLayer1) {
        return 48;
    }
    if (frame.LayerIndex == kLayer3 && frame.VersionIndex != kMpeg1) {
        return 72;
    }
    return 144;
}

std::uint16_t HeaderBitRate(const TMPEGFrameInfo& frame) {
    return MPEGBitRate(frame.VersionIndex, frame.LayerIndex, frame.BitRateIndex);
}

std::uint16_t HeaderSampleRate(const TMPEGFrameInfo& frame) {
    return MPEGSampleRate(frame.VersionIndex, frame.SampleRateIndex);
}

std::uint8_t PaddingSize(const TMPEGFrameInfo& frame) {
    if (!frame.Padded) {
        return 0;
    }
    return frame.LayerIndex == kLayer1 ? 4 : 1;
}

std::uint16_t FrameLength(const TMPEGFrameInfo& frame) {
    const std::uint32_t sampleRate = HeaderSampleRate(frame);
    if (sampleRate == 0) {
        return 0;
    }
    // Integer division truncates exactly as the floating-point quotient would: the true quotient
    // of these small integers never lies within rounding distance below a whole number.
    const std::uint32_t product =
        std::uint32_t{FrameCoefficient(frame)} * HeaderBitRate(frame) * 1000;
    return static_cast<std::uint16_t>(product / sampleRate + PaddingSize(frame));
}

std::uint8_t XingOffset(const TMPEGFrameInfo& frame) {
    const bool mono = frame.ChannelModeIndex == kMono;
    if (frame.VersionIndex == kMpeg1) {
        return mono ? 21 : 36;
    }
    return mono ? 13 : 21;
}

TMPEGFrameInfo FindFrame(std::span<const std::uint8_t> chunk, TVBRInfo& vbr) {
    for (std::size_t i = 0; i <= MPEGLastCandidate && i + 4 <= chunk.size(); ++i) {
        if (!IsFrameHeader(FourAt(chunk, i))) {
            continue;
        }
        TMPEGFrameInfo frame;
        DecodeFrameHeader(FourAt(chunk, i), frame);
        const std::size_t next = i + FrameLength(frame);
        if (next + 4 <= chunk.size() && IsFrameHeader(FourAt(chunk, next))) {
            frame.Found = true;
            frame.Position = static_cast<std::int64_t>(i);
            frame.Size = FrameLength(frame);
            vbr = ReadVBRHeader(chunk, i + XingOffset(frame));
            return frame;
        }
    }
    return {};
}
