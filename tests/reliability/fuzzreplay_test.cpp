// Every seed and every finding of the fuzz targets, replayed through the same checks in the
// ordinary suite; a finding keeps the name of what it found.
#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tags/textcodec.h"
#include "tags/tid3v2.h"

extern "C" int Fuzz_mpeg(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_wav(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_asf(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_id3v1(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_id3v2(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_id3v2edit(const std::uint8_t* data, std::size_t size);
extern "C" int Fuzz_wmvcore(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

using Target = int (*)(const std::uint8_t*, std::size_t);

struct Replayed {
    const char* name;
    Target target;
};

const Replayed kTargets[] = {
    {"mpeg", Fuzz_mpeg},       {"wav", Fuzz_wav},     {"asf", Fuzz_asf},
    {"id3v1", Fuzz_id3v1},     {"id3v2", Fuzz_id3v2}, {"id3v2edit", Fuzz_id3v2edit},
    {"wmvcore", Fuzz_wmvcore},
};

const fs::path kSource = TOVRA_SOURCE_DIR;

// Replays one kept input; a missing or unreadable file fails rather than replaying nothing.
void Replay(Target target, const fs::path& file) {
    SCOPED_TRACE(file.string());
    ASSERT_NE(target, nullptr) << "no such fuzz target";
    ASSERT_TRUE(fs::is_regular_file(file)) << "no such input";
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    ASSERT_EQ(bytes.size(), fs::file_size(file)) << "the input could not be read whole";
    try {
        EXPECT_EQ(target(bytes.data(), bytes.size()), 0);
    } catch (const std::exception& failed) {  // a check of the target (fuzz/fuzzfile.h)
        ADD_FAILURE() << failed.what();
    }
}

// Every file of the folder; the seeds' folder must hold some.
void ReplayFolder(const Replayed& replayed, const fs::path& folder, bool required) {
    if (!fs::is_directory(folder)) {
        EXPECT_FALSE(required) << folder.string() << " is missing";
        return;
    }
    int replayedFiles = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        Replay(replayed.target, entry.path());
        ++replayedFiles;
    }
    EXPECT_TRUE(replayedFiles > 0 || !required) << folder.string() << " is empty";
}

Replayed TargetNamed(const std::string& name) {
    for (const Replayed& replayed : kTargets) {
        if (name == replayed.name) {
            return replayed;
        }
    }
    return {};
}

// A finding kept under tests/reliability/crashes/<target>/, through its target's checks.
void ReplayFinding(const std::string& target, const std::string& file) {
    Replay(TargetNamed(target).target, kSource / "tests/reliability/crashes" / target / file);
}

}  // namespace

// One test per target, so that each has the whole time-out to itself under the sanitizers.
class FuzzReplay : public testing::TestWithParam<Replayed> {};

TEST_P(FuzzReplay, SeedsAndFindingsPass) {
    const Replayed& replayed = GetParam();
    ReplayFolder(replayed, kSource / "fuzz/corpus" / replayed.name, true);
    ReplayFolder(replayed, kSource / "tests/reliability/crashes" / replayed.name, false);
}

INSTANTIATE_TEST_SUITE_P(EveryTarget, FuzzReplay, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Replayed>& target) {
                             return std::string(target.param.name);
                         });

// Findings, one test each.
TEST(FuzzRegressions, Id3v2UrlWithControlByteReadsBackAsSaved) {
    ReplayFinding("id3v2", "wxxx-url-c1-control.mp3");
}

TEST(FuzzRegressions, Id3v1LongTitleWithoutLyricsIsCutOnceAndThenKept) {
    ReplayFinding("id3v1", "lyrics3-long-title-without-lyrics.mp3");
}

TEST(FuzzRegressions, Id3v1ZeroByteInsideALyricsFieldReadsBackTheSame) {
    ReplayFinding("id3v1", "lyrics3-artist-with-zero-byte.mp3");
}

TEST(FuzzRegressions, Id3v1CommentOfThirtyWithATrackNumberKeepsItsEnd) {
    ReplayFinding("id3v1", "comment-of-thirty-with-track.mp3");
}

// The audio ended in an older Lyrics3 block of another tagger; a save without a block of its
// own made that one read as the tag's.
TEST(FuzzRegressions, Id3v1OlderLyricsBlockBeforeTheTrailerIsNotReadAsTheNewOne) {
    ReplayFinding("id3v1", "older-lyrics-block-before-the-trailer.mp3");
}

// A year taken from the first four characters of the recording time ended in blanks, which the
// next load trimmed.
TEST(FuzzRegressions, Id3v2YearCutFromTheRecordingTimeReadsBackAsSaved) {
    ReplayFinding("id3v2", "recording-time-cut-before-blanks.mp3");
}

// Only a program's comment was carried over the emptied one, and read back as the comment.
TEST(FuzzRegressions, Id3v2EmptiedCommentIsNotReplacedByACarriedOne) {
    ReplayFinding("id3v2", "described-comment-carried-over-an-empty-one.mp3");
}

// An image link of one zero byte was loaded but, being blank, not saved.
TEST(FuzzRegressions, Id3v1BlankImageLinkReadsAsNone) {
    ReplayFinding("id3v1", "blank-image-link.mp3");
}

// A comment of 30 whose 29th character is a blank read back as a track number (the blank-padded
// form of version 1.1).
TEST(FuzzRegressions, Id3v1CommentWithABlankBeforeItsLastCharacterIsNoTrackNumber) {
    ReplayFinding("id3v1", "comment-read-as-blank-padded-track.mp3");
}

// Forty thousand attributes in a 738-byte file: every index lookup rebuilt the whole list, so
// walking them took hours. Such a header (an object running past it, a count its object has no
// room for) is now refused before TagLib builds the attributes.
TEST(FuzzRegressions, WmaHeaderOfManyThousandAttributesIsWalkedAtOnce) {
    ReplayFinding("wmvcore", "forty-thousand-attributes.wma");
}

// The same kind of header: 1.3 GB under the sanitizers, ending the fuzz run out of memory.
TEST(FuzzRegressions, WmaOverrunningDescriptionObjectIsRefused) {
    ReplayFinding("wmvcore", "overrunning-description-object-out-of-memory.wma");
}

// The URL is saved in Windows-1252; text whose bytes there look like UTF-8 must not read back
// as other characters.
TEST(FuzzRegressions, Id3v2UrlOfEveryEightBitCharacterReadsBackAsSaved) {
    const fs::path file = fs::temp_directory_path() / ("tovra-url-" + std::to_string(getpid()));
    std::ofstream(file, std::ios::binary) << std::string(64, '\xFF');
    const std::u16string name = Utf8ToUtf16(file.string());
    for (const std::u16string& url :
         {std::u16string(u"http://x/\u00c3\u00a9"), std::u16string(u"http://x/\u20ac\u0081"),
          std::u16string(u"http://x/\u00e9t\u00e9")}) {
        TID3v2 tag;
        tag.SetURL(url);
        ASSERT_TRUE(tag.SaveTag(name));
        TID3v2 again;
        ASSERT_TRUE(again.LoadTag(name));
        EXPECT_EQ(Utf16ToUtf8(again.URL()), Utf16ToUtf8(url));
    }
    fs::remove(file);
}
