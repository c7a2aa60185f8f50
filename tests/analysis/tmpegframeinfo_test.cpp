#include "analysis/tmpegframeinfo.h"
#include "tests/analysis/mpegbuilder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using mpegtest::Header;

TEST(MPEGTablesTest, BitRatesAndSampleRatesFollowTheStandardTables) {
    struct Case {
        std::uint8_t version, layer;
        std::uint16_t index, kbits;
    };
    for (const Case& c :
         {Case{3, 1, 9, 128}, Case{3, 1, 14, 320}, Case{3, 1, 1, 32}, Case{3, 2, 14, 384},
          Case{3, 2, 2, 48}, Case{3, 3, 14, 448}, Case{3, 3, 2, 64}, Case{2, 1, 9, 80},
          Case{2, 2, 14, 160}, Case{2, 3, 14, 256}, Case{2, 3, 9, 144}, Case{0, 1, 9, 80},
          Case{0, 1, 1, 8}, Case{3, 1, 0, 0}, Case{3, 1, 15, 0}, Case{1, 1, 9, 0}, Case{3, 0, 9, 0},
          Case{2, 0, 9, 0}}) {
        EXPECT_EQ(MPEGBitRate(c.version, c.layer, c.index), c.kbits)
            << int{c.version} << "/" << int{c.layer} << "/" << c.index;
    }
    struct Rate {
        std::uint8_t version;
        std::uint16_t index, hz;
    };
    for (const Rate& r : {Rate{3, 0, 44100}, Rate{3, 1, 48000}, Rate{3, 2, 32000}, Rate{3, 3, 0},
                          Rate{2, 0, 22050}, Rate{2, 1, 24000}, Rate{2, 2, 16000},
                          Rate{0, 0, 11025}, Rate{0, 1, 12000}, Rate{0, 2, 8000}, Rate{1, 0, 0}}) {
        EXPECT_EQ(MPEGSampleRate(r.version, r.index), r.hz) << int{r.version} << "/" << r.index;
    }
    EXPECT_EQ(MPEGVersionNames[1], "MPEG ?");
    EXPECT_EQ(MPEGLayerNames[1], "Layer III");
    EXPECT_EQ(ChannelModeNames[4], "Unknown");
    EXPECT_EQ(EmphasisNames[3], "CCIT J.17");
}

TEST(MPEGHeaderTest, EveryRejectedFieldIsNeverAccepted) {
    struct Case {
        const char* what;
        std::array<std::uint8_t, 4> bytes;
        bool accepted;
    };
    auto with = [](auto change) {
        Header h;
        change(h);
        return h.Bytes();
    };
    const Case cases[] = {
        {"plain 128 kbit/s", Header{}.Bytes(), true},
        {"MPEG 2.5 Layer I", with([](Header& h) { h.version = 0, h.layer = 3; }), true},
        {"emphasis 3", with([](Header& h) { h.emphasis = 3; }), true},
        {"free format", with([](Header& h) { h.bitRateIndex = 0; }), false},
        {"bit-rate index 15", with([](Header& h) { h.bitRateIndex = 15; }), false},
        {"sample-rate index 3", with([](Header& h) { h.sampleRateIndex = 3; }), false},
        {"reserved version", with([](Header& h) { h.version = 1; }), false},
        {"reserved layer", with([](Header& h) { h.layer = 0; }), false},
        {"emphasis 2", with([](Header& h) { h.emphasis = 2; }), false},
        {"first byte not FF", {0xFE, 0xFB, 0x90, 0x00}, false},
        {"sync bits missing", {0xFF, 0xDB, 0x90, 0x00}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsFrameHeader(c.bytes), c.accepted) << c.what;
    }
}

TEST(MPEGHeaderTest, DecodesEveryField) {
    Header h;
    h.version = 2;
    h.layer = 2;
    h.crc = true;
    h.bitRateIndex = 12;
    h.sampleRateIndex = 1;
    h.padded = true;
    h.channelMode = 3;
    h.copyrighted = true;
    h.original = true;
    h.emphasis = 1;
    auto bytes = h.Bytes();
    bytes[2] |= 1;     // private bit
    bytes[3] |= 0x20;  // mode extension 2
    TMPEGFrameInfo frame;
    DecodeFrameHeader(bytes, frame);
    EXPECT_EQ(frame.HeaderBytes, bytes);
    EXPECT_EQ(frame.VersionIndex, 2);
    EXPECT_EQ(frame.LayerIndex, 2);
    EXPECT_TRUE(frame.HasCRC);
    EXPECT_EQ(frame.BitRateIndex, 12);
    EXPECT_EQ(frame.SampleRateIndex, 1);
    EXPECT_TRUE(frame.Padded);
    EXPECT_TRUE(frame.PrivateBit);
    EXPECT_EQ(frame.ChannelModeIndex, 3);
    EXPECT_EQ(frame.ModeExtension, 2);
    EXPECT_TRUE(frame.Copyrighted);
    EXPECT_TRUE(frame.Original);
    EXPECT_EQ(frame.EmphasisIndex, 1);
    EXPECT_FALSE(frame.Found);
}

TEST(MPEGHeaderTest, FrameLengthCoefficientPaddingAndXingOffset) {
    struct Case {
        const char* what;
        Header header;
        std::uint16_t coefficient, length;
        std::uint8_t xing;
    };
    auto make = [](unsigned version, unsigned layer, unsigned rate, unsigned srate, bool padded,
                   unsigned mode) {
        Header h;
        h.version = version, h.layer = layer, h.bitRateIndex = rate;
        h.sampleRateIndex = srate, h.padded = padded, h.channelMode = mode;
        return h;
    };
    const Case cases[] = {
        {"MPEG 1 III 128k 44.1k", make(3, 1, 9, 0, false, 0), 144, 417, 36},
        {"the same padded", make(3, 1, 9, 0, true, 1), 144, 418, 36},
        {"MPEG 1 III mono", make(3, 1, 9, 0, false, 3), 144, 417, 21},
        {"MPEG 1 II 192k 48k", make(3, 2, 10, 1, false, 2), 144, 576, 36},
        {"MPEG 1 I 384k 44.1k padded", make(3, 3, 12, 0, true, 0), 48, 421, 36},
        {"MPEG 2 III 64k 22.05k", make(2, 1, 8, 0, false, 0), 72, 208, 21},
        {"MPEG 2 III mono", make(2, 1, 8, 0, true, 3), 72, 209, 13},
        {"MPEG 2 II 64k 24k", make(2, 2, 8, 1, false, 0), 144, 384, 21},
        {"MPEG 2.5 III 8k 8k", make(0, 1, 1, 2, false, 3), 72, 72, 13},
    };
    for (const Case& c : cases) {
        TMPEGFrameInfo frame;
        DecodeFrameHeader(c.header.Bytes(), frame);
        EXPECT_EQ(FrameCoefficient(frame), c.coefficient) << c.what;
        EXPECT_EQ(FrameLength(frame), c.length) << c.what;
        EXPECT_EQ(XingOffset(frame), c.xing) << c.what;
    }
    // Without a sample rate there is no length (a cleared frame never divides by zero).
    EXPECT_EQ(FrameLength(TMPEGFrameInfo{}), 0);
}

std::vector<std::uint8_t> Garbage(std::size_t size) {
    return std::vector<std::uint8_t>(size, 0x55);
}

TEST(FindFrameTest, AcceptsTwoConsecutiveHeadersAndReadsNoVBRInACBRFrame) {
    auto chunk = Garbage(100);
    mpegtest::Append(chunk, mpegtest::Frames(Header{}, 10));
    TVBRInfo vbr;
    vbr.Found = true;  // overwritten once a frame is accepted
    const TMPEGFrameInfo frame = FindFrame(chunk, vbr);
    EXPECT_TRUE(frame.Found);
    EXPECT_EQ(frame.Position, 100);
    EXPECT_EQ(frame.Size, 417);
    EXPECT_EQ(HeaderBitRate(frame), 128);
    EXPECT_EQ(vbr, TVBRInfo{});
}

TEST(FindFrameTest, ALoneHeaderIsSkippedAndTheSearchGoesOnOneByteFurther) {
    // A header at 0 whose successor position (417) holds no header; the real stream starts at 1.
    std::vector<std::uint8_t> chunk = {0xFF, 0xFB, 0x90, 0x00};
    auto stream = mpegtest::Frames(Header{}, 4);
    chunk.resize(1);
    mpegtest::Append(chunk, stream);
    TVBRInfo vbr;
    EXPECT_EQ(FindFrame(chunk, vbr).Position, 1);

    // The second header is not compared with the first: any valid header will do.
    Header other;
    other.version = 2;
    other.layer = 3;
    other.size = 313;  // MPEG 2 Layer I, 144 kbit/s at 22050 Hz
    auto mixed = mpegtest::Frame(Header{});
    mpegtest::Append(mixed, mpegtest::Frame(other));
    EXPECT_TRUE(FindFrame(mixed, vbr).Found);
}

TEST(FindFrameTest, CandidatesFrom1730OnAreNotTestedAndShortChunksEndAtTheBytesRead) {
    for (std::size_t at : {std::size_t{1729}, std::size_t{1730}}) {
        auto chunk = Garbage(at);
        mpegtest::Append(chunk, mpegtest::Frames(Header{}, 4));
        chunk.resize(MPEGChunkSize, 0x55);
        TVBRInfo vbr;
        EXPECT_EQ(FindFrame(chunk, vbr).Found, at == 1729) << at;
    }
    // The successor header lies just past the bytes given: no frame.
    auto two = mpegtest::Frames(Header{}, 2);
    TVBRInfo vbr;
    EXPECT_FALSE(FindFrame(std::span(two).first(417 + 3), vbr).Found);
    EXPECT_TRUE(FindFrame(std::span(two).first(417 + 4), vbr).Found);
    EXPECT_FALSE(FindFrame(std::span(two).first(2), vbr).Found);
    EXPECT_FALSE(FindFrame({}, vbr).Found);
}

TEST(FindFrameTest, NoFrameGivesZerosAndLeavesTheVBRRecordAlone) {
    auto chunk = Garbage(MPEGChunkSize);
    TVBRInfo vbr;
    vbr.Found = true;
    vbr.VBRFrames = 7;
    EXPECT_EQ(FindFrame(chunk, vbr), TMPEGFrameInfo{});
    EXPECT_TRUE(vbr.Found);
    EXPECT_EQ(vbr.VBRFrames, 7);
}

TEST(FindFrameTest, ReadsXingAndVBRIAtTheXingOffsetOfTheFrame) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> first;
        Header header;
        const char* tag;
    };
    Header mono;
    mono.channelMode = 3;
    Header mpeg2;
    mpeg2.version = 2;
    mpeg2.bitRateIndex = 8;
    mpeg2.size = 208;  // 64 kbit/s at 22050 Hz
    Header mpeg2mono = mpeg2;
    mpeg2mono.channelMode = 3;
    const Case cases[] = {
        {"MPEG 1 stereo Xing at 36", mpegtest::XingFrame(Header{}, 36, 1000, 400000), Header{},
         "Xing"},
        {"MPEG 1 mono Xing at 21", mpegtest::XingFrame(mono, 21, 1000, 400000), mono, "Xing"},
        {"MPEG 2 stereo Xing at 21", mpegtest::XingFrame(mpeg2, 21, 1000, 400000), mpeg2, "Xing"},
        {"MPEG 2 mono Xing at 13", mpegtest::XingFrame(mpeg2mono, 13, 1000, 400000), mpeg2mono,
         "Xing"},
        {"VBRI at 36", mpegtest::VbriFrame(Header{}, 1000, 400000), Header{}, "VBRI"},
    };
    for (const Case& c : cases) {
        auto chunk = c.first;
        mpegtest::Append(chunk, mpegtest::Frame(c.header));
        TVBRInfo vbr;
        ASSERT_TRUE(FindFrame(chunk, vbr).Found) << c.what;
        EXPECT_TRUE(vbr.Found) << c.what;
        EXPECT_EQ(std::string(vbr.Tag.data(), 4), c.tag) << c.what;
        EXPECT_EQ(vbr.VBRFrames, 1000) << c.what;
        EXPECT_EQ(vbr.VBRBytes, 400000) << c.what;
    }
    // A VBRI header sits at 36 whatever the mode, so a mono MPEG 1 frame (offset 21) misses it.
    auto chunk = mpegtest::VbriFrame(mono, 1000, 400000);
    mpegtest::Append(chunk, mpegtest::Frame(mono));
    TVBRInfo vbr;
    EXPECT_TRUE(FindFrame(chunk, vbr).Found);
    EXPECT_FALSE(vbr.Found);
}

TEST(ReadVBRHeaderTest, TakesFixedPlacesAndNeverReadsPastTheChunk) {
    std::vector<std::uint8_t> bytes(40, 0);
    std::memcpy(bytes.data() + 4, "Xing", 4);
    mpegtest::PutBigEndian32(bytes, 8, 0);  // no flags: the counts are still taken
    mpegtest::PutBigEndian32(bytes, 12, 0xFFFFFFFF);
    mpegtest::PutBigEndian32(bytes, 16, 1234);
    const TVBRInfo vbr = ReadVBRHeader(bytes, 4);
    EXPECT_TRUE(vbr.Found);
    EXPECT_EQ(vbr.VBRFrames, -1);
    EXPECT_EQ(vbr.VBRBytes, 1234);
    EXPECT_FALSE(ReadVBRHeader(std::span(bytes).first(19), 4).Found);
    EXPECT_FALSE(ReadVBRHeader(bytes, 40).Found);
    EXPECT_FALSE(ReadVBRHeader(bytes, 1000).Found);
    EXPECT_FALSE(ReadVBRHeader(bytes, 0).Found);
}

}  // namespace
