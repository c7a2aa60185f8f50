#include "analysis/tmpegaudio.h"
#include "tags/textcodec.h"
#include "tags/ttntfilestream.h"
#include "tests/analysis/mpegbuilder.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using mpegtest::Append;
using mpegtest::Header;

class TMPEGaudioTest : public ::testing::Test {
protected:
    // Writes the bytes to a file of the folder and analyses it.
    bool Analyse(const std::string& name, const Bytes& bytes) {
        return mpeg.Analyse(Utf8ToUtf16(folder.write(name, bytes)));
    }

    TTempFolder folder;
    TMPEGaudio mpeg;
};

void ExpectCleared(const TMPEGaudio& mpeg) {
    EXPECT_FALSE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.FileSize, 0);
    EXPECT_EQ(mpeg.AudioStart, 0);
    EXPECT_EQ(mpeg.AudioEnd, 0);
    EXPECT_EQ(mpeg.VBR, TVBRInfo{});
    EXPECT_EQ(mpeg.SampleRate(), 0);
    EXPECT_EQ(mpeg.BitRate(), 0);
    EXPECT_EQ(mpeg.Channels(), 0);
    EXPECT_EQ(mpeg.FrameCount(), 0);
    EXPECT_EQ(mpeg.Duration(), 0);
    EXPECT_EQ(mpeg.ChannelModeName(), "Unknown");
    EXPECT_EQ(MPEGVersionNames[mpeg.Frame.VersionIndex], "MPEG ?");
    EXPECT_EQ(MPEGLayerNames[mpeg.Frame.LayerIndex], "Layer ?");
    EXPECT_EQ(EmphasisNames[mpeg.Frame.EmphasisIndex], "Unknown");
    EXPECT_FALSE(mpeg.ID3v1.TagPresent());
    EXPECT_EQ(mpeg.ID3v1.Title(), "");
    EXPECT_FALSE(mpeg.ID3v2.Present());
    EXPECT_EQ(mpeg.ID3v2.TagSize(), 0);
}

TEST_F(TMPEGaudioTest, ANewAnalyserIsCleared) {
    ExpectCleared(mpeg);
}

TEST_F(TMPEGaudioTest, FirstFrameAfterA4096ByteID3v2TagAndSizesBeforeTheID3v1Tag) {
    for (bool padded : {false, true}) {
        Header header;
        header.padded = padded;
        header.size = padded ? 418 : 417;
        Bytes file = mpegtest::EmptyID3v2(4096);
        Append(file, mpegtest::Frames(header, 20));
        Append(file, mpegtest::ID3v1("Judul"));
        ASSERT_TRUE(Analyse("lagu ü 曲.mp3", file));
        ASSERT_TRUE(mpeg.Frame.Found);
        EXPECT_EQ(mpeg.Frame.Position, 4096);
        EXPECT_EQ(mpeg.Frame.Size, padded ? 418 : 417);
        EXPECT_EQ(mpeg.FileSize, static_cast<std::int64_t>(file.size()));
        EXPECT_EQ(mpeg.AudioStart, 4096);
        EXPECT_EQ(mpeg.AudioEnd, mpeg.FileSize - 128);
        EXPECT_EQ(mpeg.BitRate(), 128);
        EXPECT_EQ(mpeg.SampleRate(), 44100);
        EXPECT_EQ(mpeg.Channels(), 2);
        EXPECT_EQ(mpeg.ChannelModeName(), "Stereo");
        EXPECT_EQ(mpeg.FrameCount(), 20);
        EXPECT_DOUBLE_EQ(mpeg.Duration(), (mpeg.AudioEnd - 4096) / 128.0 / 1000 * 8);
        EXPECT_TRUE(mpeg.ID3v2.Present());
        EXPECT_EQ(mpeg.ID3v2.TagSize(), 4096);
        EXPECT_TRUE(mpeg.ID3v1.TagPresent());
        EXPECT_EQ(mpeg.ID3v1.Title(), "Judul");
    }
}

TEST_F(TMPEGaudioTest, VBRHeadersGiveFrameCountDurationAndAverageBitRate) {
    struct Case {
        const char* what;
        Bytes first;
        std::int64_t frames;
        double duration;
        int bitRate;
    };
    const double xingDuration = 1000 * 1152 / 44100.0;  // 26.12 s
    const Case cases[] = {
        // 400 bytes a frame is 122.5 kbit/s, which rounds half to even.
        {"Xing", mpegtest::XingFrame(Header{}, 36, 1000, 400000), 1000, xingDuration, 122},
        {"VBRI", mpegtest::VbriFrame(Header{}, 1000, 402000), 1000, xingDuration, 123},
        {"fewer bytes than frames", mpegtest::XingFrame(Header{}, 36, 1000, 999), 1000,
         xingDuration, 0},
        {"negative byte count", mpegtest::XingFrame(Header{}, 36, 1000, 0x80000000u), 1000,
         xingDuration, 0},
        // Without frames the sizes decide the duration and the first header the bit rate.
        {"no frames", mpegtest::XingFrame(Header{}, 36, 0, 400000), 0, 5 * 417 / 128.0 / 1000 * 8,
         128},
    };
    for (const Case& c : cases) {
        Bytes file = c.first;
        Append(file, mpegtest::Frames(Header{}, 4));
        ASSERT_TRUE(Analyse("vbr.mp3", file)) << c.what;
        ASSERT_TRUE(mpeg.Frame.Found) << c.what;
        EXPECT_TRUE(mpeg.VBR.Found) << c.what;
        EXPECT_EQ(mpeg.FrameCount(), c.frames) << c.what;
        EXPECT_NEAR(mpeg.Duration(), c.duration, 1e-9) << c.what;
        EXPECT_EQ(mpeg.BitRate(), c.bitRate) << c.what;
    }
}

TEST_F(TMPEGaudioTest, FileWithoutAFrameIsReadAndLeavesEverythingCleared) {
    // Both tags are there, but between them no two headers follow each other.
    Bytes file = mpegtest::EmptyID3v2(1024);
    Append(file, Bytes(10000, 0x55));
    Append(file, {0xFF, 0xFB, 0x90, 0x00});
    Append(file, Bytes(600, 0));
    Append(file, mpegtest::ID3v1("Tidak ada"));
    EXPECT_TRUE(Analyse("noise.mp3", file));
    ExpectCleared(mpeg);

    EXPECT_TRUE(Analyse("empty.mp3", {}));
    ExpectCleared(mpeg);
    EXPECT_FALSE(mpeg.Analyse(Utf8ToUtf16(folder.file("missing.mp3"))));
    ExpectCleared(mpeg);
}

TEST_F(TMPEGaudioTest, ChunksFollowWithoutOverlapAndCandidatesFrom1730WaitForTheNextChunk) {
    struct Case {
        std::size_t streamStart;
        std::int64_t position;
    };
    // From 1730 on the stream's first frames are passed over; the second chunk starts at 3458,
    // where the frame at 1730 + 5 * 417 = 3815 is the first tested.
    for (const Case& c : {Case{1729, 1729}, Case{1730, 3815}}) {
        Bytes file(c.streamStart, 0x55);
        Append(file, mpegtest::Frames(Header{}, 12));
        ASSERT_TRUE(Analyse("late.mp3", file)) << c.streamStart;
        EXPECT_EQ(mpeg.Frame.Position, c.position) << c.streamStart;
    }
}

TEST_F(TMPEGaudioTest, AShortLastChunkIsSearchedOnlyOverTheBytesRead) {
    // The first chunk holds a lone header at 417 (its successor at 834 is garbage). The second,
    // short chunk begins with a header whose successor would lie at 417: past the bytes read, where
    // only the first chunk's stale header could be found.
    Bytes file(3458 + 200, 0x55);
    const auto header = Header{}.Bytes();
    std::copy(header.begin(), header.end(), file.begin() + 417);
    std::copy(header.begin(), header.end(), file.begin() + 3458);
    EXPECT_TRUE(Analyse("stale.mp3", file));
    EXPECT_FALSE(mpeg.Frame.Found);
}

TEST_F(TMPEGaudioTest, FilesOf2GiBAndMoreGivePositiveSizesAndDurations) {
    // A sparse file of 3 GiB: frames at the start, an ID3v1 tag at the very end.
    const std::string path = folder.write("large.mp3", mpegtest::Frames(Header{}, 4));
    const std::int64_t size = 3LL << 30;
    {
        std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        const Bytes tag = mpegtest::ID3v1("Besar");
        out.seekp(size - 128);
        out.write(reinterpret_cast<const char*>(tag.data()), 128);
    }
    ASSERT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(size));
    ASSERT_TRUE(mpeg.Analyse(Utf8ToUtf16(path)));
    ASSERT_TRUE(mpeg.Frame.Found);
    EXPECT_EQ(mpeg.FileSize, size);
    EXPECT_EQ(mpeg.AudioEnd, size - 128);
    EXPECT_EQ(mpeg.FrameCount(), (size - 128) / 417);
    EXPECT_NEAR(mpeg.Duration(), (size - 128) / 16000.0, 1e-6);
    EXPECT_GT(mpeg.Duration(), 200000.0);
}

TEST_F(TMPEGaudioTest, SharesTheFileWithReadersButNotWithAWriterThatSharesNothing) {
    const std::u16string name =
        Utf8ToUtf16(folder.write("shared.mp3", mpegtest::Frames(Header{}, 4)));
    {
        TTntFileStream reader(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_TRUE(mpeg.Analyse(name));
        EXPECT_TRUE(mpeg.Frame.Found);
    }
    TTntFileStream writer(name, fmOpenReadWrite);
    EXPECT_FALSE(mpeg.Analyse(name));
    ExpectCleared(mpeg);
}

}  // namespace
