#include "device/tmpegaudiolength.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo: 417 bytes and 1152 samples a frame.
constexpr std::uint8_t kMpeg1[] = {0xFF, 0xFB, 0x90, 0x00};
constexpr int kMpeg1Size = 417;
// MPEG-2 Layer III, 64 kbit/s, 22050 Hz: 208 bytes and 576 samples a frame.
constexpr std::uint8_t kMpeg2[] = {0xFF, 0xF3, 0x80, 0x00};
constexpr int kMpeg2Size = 208;

void appendFrames(Bytes& data, const std::uint8_t (&header)[4], int size, int count) {
    for (int i = 0; i < count; ++i) {
        data.insert(data.end(), header, header + 4);
        data.resize(data.size() + size - 4, 0);
    }
}

Bytes frames(const std::uint8_t (&header)[4], int size, int count) {
    Bytes data;
    appendFrames(data, header, size, count);
    return data;
}

std::int64_t ms(std::int64_t samples, int rate) {
    return samples * 1000 / rate;
}

TEST(TMpegAudioLengthTest, CountsTheSamplesOfEveryFrameInTheChain) {
    Bytes tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 100};  // syncsafe size 100
    tagged.resize(110, 0);
    appendFrames(tagged, kMpeg1, kMpeg1Size, 100);
    tagged.insert(tagged.end(), {'T', 'A', 'G'});
    tagged.resize(tagged.size() + 125, ' ');

    Bytes info = frames(kMpeg1, kMpeg1Size, 100);
    std::memcpy(info.data() + 4 + 32, "Info", 4);  // the header frame carries no sound

    Bytes falseSync = {0xFF, 0xFB, 0x90, 0x00, 0, 0, 0, 0, 0, 0};
    appendFrames(falseSync, kMpeg1, kMpeg1Size, 100);

    Bytes truncated = frames(kMpeg1, kMpeg1Size, 10);
    truncated.resize(truncated.size() + kMpeg1Size / 2, 0);
    truncated[10 * kMpeg1Size] = 0xFF;
    truncated[10 * kMpeg1Size + 1] = 0xFB;
    truncated[10 * kMpeg1Size + 2] = 0x90;

    struct Case {
        const char* name;
        Bytes data;
        std::int64_t length;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"not MPEG audio", Bytes(4096, 0x55), 0},
        {"MPEG-1 Layer III", frames(kMpeg1, kMpeg1Size, 100), ms(100 * 1152, 44100)},
        {"MPEG-2 Layer III", frames(kMpeg2, kMpeg2Size, 50), ms(50 * 576, 22050)},
        {"behind ID3v2, before ID3v1", tagged, ms(100 * 1152, 44100)},
        {"Info frame skipped", info, ms(99 * 1152, 44100)},
        {"false sync before the first frame", falseSync, ms(100 * 1152, 44100)},
        {"truncated last frame left out", truncated, ms(10 * 1152, 44100)},
        {"ID3v2 tag only", Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0x7F, 0x7F}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TMpegAudioLength::Measure(c.data), c.length) << c.name;
    }
}

TEST(TMpegAudioLengthTest, MeasuresFilesOnDisk) {
    const QString dir = QStringLiteral(TOVRA_SOURCE_DIR "/tests/data/media/");
    // 1.5 s of tone plus the encoder's padding, with and without a VBR header.
    EXPECT_NEAR(TMpegAudioLength::Measure(dir + QStringLiteral("vbr-noheader.mp3")), 1500, 60);
    EXPECT_NEAR(TMpegAudioLength::Measure(dir + QStringLiteral("tone.mp3")), 1500, 60);
    EXPECT_EQ(TMpegAudioLength::Measure(dir + QStringLiteral("tone.wav")), 0);
    EXPECT_EQ(TMpegAudioLength::Measure(dir + QStringLiteral("missing.mp3")), 0);
}

}  // namespace
