#include "analysis/twavfile.h"
#include "tags/bytes.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Format {
    std::uint16_t channels = 2;
    std::uint32_t sampleRate = 44100;
    std::uint16_t bits = 16;
    std::uint32_t riffSize = 1000036;
};

// A canonical 44-byte header; `chunkBeforeFmt` puts a 4-character chunk id where "fmt " belongs.
Bytes CanonicalHeader(const Format& f, const char* fmtId = "fmt ") {
    Bytes h;
    AppendText(h, "RIFF");
    for (int i = 0; i < 4; ++i) {
        h.push_back(static_cast<std::uint8_t>(f.riffSize >> (8 * i)));
    }
    AppendText(h, "WAVE");
    AppendText(h, fmtId);
    h.insert(h.end(), {16, 0, 0, 0, 1, 0});
    AppendLE16(h, f.channels);
    AppendLE16(h, static_cast<std::uint16_t>(f.sampleRate));
    AppendLE16(h, static_cast<std::uint16_t>(f.sampleRate >> 16));
    const std::uint32_t perSecond = f.sampleRate * f.channels * f.bits / 8;
    AppendLE16(h, static_cast<std::uint16_t>(perSecond));
    AppendLE16(h, static_cast<std::uint16_t>(perSecond >> 16));
    AppendLE16(h, static_cast<std::uint16_t>(f.channels * f.bits / 8));
    AppendLE16(h, f.bits);
    AppendText(h, "data");
    AppendBE32(h, 0);
    return h;
}

TEST(TWAVfileTest, ReadsTheCanonicalHeaderAtFixedOffsets) {
    struct Case {
        const char* what;
        Bytes header;
        bool valid;
        int channels, sampleRate, bits;
        std::int64_t fileSize;
    };
    const Case cases[] = {
        {"16-bit stereo 44100 Hz", CanonicalHeader({}), true, 2, 44100, 16, 1000044},
        {"96000 Hz is kept whole", CanonicalHeader({1, 96000, 24, 36}), true, 1, 96000, 24, 44},
        {"LIST before fmt", CanonicalHeader({}, "LIST"), false, 0, 0, 0, 0},
        {"six channels", CanonicalHeader({6, 48000, 16, 36}), false, 0, 0, 0, 0},
        {"no channels", CanonicalHeader({0, 48000, 16, 36}), false, 0, 0, 0, 0},
        {"RIFF size near 4 GiB does not wrap", CanonicalHeader({2, 44100, 16, 0xFFFFFFF0u}), true,
         2, 44100, 16, 0xFFFFFFF8LL},
    };
    for (const Case& c : cases) {
        TWAVfile wav;
        EXPECT_TRUE(wav.AnalyseHeader(c.header)) << c.what;
        EXPECT_EQ(wav.Valid, c.valid) << c.what;
        EXPECT_EQ(wav.Channels, c.channels) << c.what;
        EXPECT_EQ(wav.SampleRate, c.sampleRate) << c.what;
        EXPECT_EQ(wav.BitsPerSample, c.bits) << c.what;
        EXPECT_EQ(wav.FileSize, c.fileSize) << c.what;
    }
    Bytes notWave = CanonicalHeader({});
    std::memcpy(notWave.data() + 8, "AVI ", 4);
    TWAVfile wav;
    EXPECT_TRUE(wav.AnalyseHeader(notWave));
    EXPECT_FALSE(wav.Valid);
}

TEST(TWAVfileTest, ReadsTheFileByItsPathAndNeedsAll44Bytes) {
    TTempFolder folder;
    const Bytes header = CanonicalHeader({});
    TWAVfile wav;
    ASSERT_TRUE(wav.Analyse(folder.write("canonical ü.wav", header)));
    EXPECT_TRUE(wav.Valid);
    EXPECT_EQ(wav.SampleRate, 44100);

    EXPECT_FALSE(wav.Analyse(folder.write("short.wav", ByteSpan(header).first(43))));
    EXPECT_FALSE(wav.Valid);
    EXPECT_EQ(wav.Channels, 0);
    EXPECT_FALSE(wav.Analyse(folder.file("missing.wav")));
    EXPECT_FALSE(wav.Analyse(folder.file("")));  // the folder itself
}

}  // namespace
