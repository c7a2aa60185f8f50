#include "tags/tid3v1.h"
#include "tags/unifile.h"

#include "tagfixtures.h"

#include <sys/stat.h>
#include <functional>

using namespace fixtures;

namespace {

const std::string k30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";

class ID3v1Test : public ::testing::Test {
protected:
    std::string Make(const Bytes& content) {
        WriteFile(path, content);
        return path;
    }
    bool Load(const Bytes& content) {
        WriteFile(path, content);
        return tag.Load(U(path));
    }
    // Saves the tag to a file of 20 audio bytes and returns the Lyrics3 block written.
    std::string SavedBlock() {
        Make(Payload(20));
        EXPECT_TRUE(tag.Save(U(path)));
        const Bytes file = ReadFile(path);
        return file.size() < 148 ? std::string() : std::string(file.begin() + 20, file.end() - 128);
    }

    TempDir dir;
    std::string path = dir.file("song.mp3");
    TID3v1 tag;
};

}  // namespace

TEST_F(ID3v1Test, VersionTestOnBytes125And126) {
    struct Case {
        std::uint8_t b125, b126;
        int version;
        int track;
        std::string comment;
    };
    const Case cases[] = {
        {0, 7, 2, 7, k30.substr(0, 28)},
        {0x20, 0, 2, 0, k30.substr(0, 28)},
        {0x20, 9, 2, 9, k30.substr(0, 28)},
        {0, 0, 1, 0, k30.substr(0, 28)},  // trailing zero bytes removed
        {0x20, 0x20, 1, 0, k30.substr(0, 28)},
        {'Y', 'Z', 1, 0, k30.substr(0, 28) + "YZ"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(
            Load(Join({Payload(300), Id3v1("T", "A", "B", "1999", k30, c.b125, c.b126, 17)})));
        EXPECT_TRUE(tag.TagPresent());
        EXPECT_EQ(tag.TagVersion(), c.version) << int(c.b125) << "," << int(c.b126);
        EXPECT_EQ(tag.Track(), c.track);
        EXPECT_EQ(tag.Comment(), c.comment);
        EXPECT_EQ(tag.GenreIndex(), 17);
    }
}

TEST_F(ID3v1Test, FieldsAreTrimmedAtTheEndOnly) {
    ASSERT_TRUE(Load(Join({Payload(10), Id3v1(" Title \x01\x1f ", "Art", "Alb", "20 ", "c")})));
    EXPECT_EQ(tag.Title(), " Title");
    EXPECT_EQ(tag.Year(), "20");
    // Bytes left behind the zero that ends a text are not part of it.
    ASSERT_TRUE(Load(Join({Payload(10), Id3v1(std::string("New\0ld longer title", 20))})));
    EXPECT_EQ(tag.Title(), "New");
    EXPECT_EQ(tag.TrailerLength(), 128);
}

TEST_F(ID3v1Test, WindowsCodePageTextRoundTrips) {
    Make(Payload(50));
    tag.SetTitle("Caf\u00e9 \u2013 \u201cLive\u201d \u4e2d");
    tag.SetArtist("\u00c9dith");
    ASSERT_TRUE(tag.Save(U(path)));
    const Bytes file = ReadFile(path);
    EXPECT_EQ(std::string(file.begin() + 53, file.begin() + 68), "Caf\xe9 \x96 \x93Live\x94 ?");
    TID3v1 again;
    ASSERT_TRUE(again.Load(U(path)));
    EXPECT_EQ(again.Title(), "Caf\u00e9 \u2013 \u201cLive\u201d ?");
    EXPECT_EQ(again.Artist(), "\u00c9dith");
}

TEST_F(ID3v1Test, LongTextsAndTheThirtyCharacterLimit) {
    tag.SetTitle(k30);
    EXPECT_TRUE(tag.ExtendedTitle().empty());
    tag.SetTitle(k30 + "X");
    EXPECT_EQ(tag.Title(), k30 + "X");
    EXPECT_EQ(tag.ExtendedTitle(), k30 + "X");
    tag.SetYear("2024-05 ");
    EXPECT_EQ(tag.Year(), "2024");
    // Long titles alone make no block: the tag holds the first 30 characters.
    Make(Payload(64));
    ASSERT_TRUE(tag.Save(U(path)));
    const Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), 64u + 128u);
    EXPECT_EQ(std::string(file.begin() + 64 + 3, file.begin() + 64 + 33), k30);
    EXPECT_FALSE(tag.LyricsPresent());
}

TEST_F(ID3v1Test, SavedTrackOverwritesTheCommentsLastTwoBytes) {
    Make(Payload(64));
    tag.SetComment(k30);
    tag.SetTrack(5);
    ASSERT_TRUE(tag.Save(U(path)));
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file[64 + 125], 0);
    EXPECT_EQ(file[64 + 126], 5);
    EXPECT_EQ(file[64 + 127], 255);  // no genre
    TID3v1 again;
    ASSERT_TRUE(again.Load(U(path)));
    EXPECT_EQ(again.TagVersion(), 2);
    EXPECT_EQ(again.Comment(), k30.substr(0, 28));
}

TEST_F(ID3v1Test, SaveAppendsOnceAndReplacesAfterwards) {
    const Bytes audio = Payload(1000);
    Make(audio);
    tag.SetTitle("One");
    ASSERT_TRUE(tag.Save(U(path)));
    EXPECT_EQ(ReadFile(path).size(), 1128u);
    EXPECT_TRUE(tag.TagPresent());
    tag.SetTitle("Two");
    ASSERT_TRUE(tag.Save(U(path)));
    const Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), 1128u);
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin()));
    TID3v1 again;
    ASSERT_TRUE(again.Load(U(path)));
    EXPECT_EQ(again.Title(), "Two");
}

TEST_F(ID3v1Test, ShortFilesHaveNoTag) {
    ASSERT_TRUE(Load(Text("TAG short file")));
    EXPECT_FALSE(tag.TagPresent());
    EXPECT_EQ(tag.TrailerLength(), 0);
    ASSERT_TRUE(Load({}));
    EXPECT_FALSE(tag.TagPresent());
    EXPECT_FALSE(tag.Load(U(dir.file("missing.mp3"))));
}

TEST_F(ID3v1Test, StripWithoutTagsLeavesTheFileAlone) {
    Make(Payload(500));
    ::chmod(path.c_str(), 0444);
    EXPECT_TRUE(tag.Strip(U(path)));
    EXPECT_EQ(Permissions(path), 0444u);
    EXPECT_EQ(ReadFile(path), Payload(500));
}

TEST_F(ID3v1Test, StripCutsTagAndBlock) {
    const Bytes block = LyricsBlock({{"IND", "10"}, {"LYR", "la la"}});
    Make(Join({Payload(500), block, Id3v1("T")}));
    ASSERT_TRUE(tag.Load(U(path)));
    EXPECT_EQ(tag.TrailerLength(), std::int32_t(block.size() + 128));
    EXPECT_EQ(tag.LyricsSize() + 15, std::int32_t(block.size()));
    ASSERT_TRUE(tag.Strip(U(path)));
    EXPECT_EQ(ReadFile(path), Payload(500));
    EXPECT_FALSE(tag.TagPresent());
    EXPECT_FALSE(tag.LyricsPresent());
}

TEST_F(ID3v1Test, AFileHeldExclusivelyCannotBeSaved) {
    const Bytes content = Join({Payload(200), Id3v1("Old")});
    Make(content);
    const THandle other = UniOpenFile(U(path), fmOpenReadWrite);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    tag.SetTitle("New");
    EXPECT_FALSE(tag.Save(U(path)));
    EXPECT_FALSE(tag.Strip(U(path)));
    UniCloseHandle(other);
    EXPECT_EQ(ReadFile(path), content);
}

// Lyrics3 v2.

TEST_F(ID3v1Test, BlockFieldsReplaceTheShortTexts) {
    const std::string title40 = k30 + "abcdefghij";
    ASSERT_TRUE(Load(Join({Payload(100),
                           LyricsBlock({{"IND", "00"},
                                        {"ETT", title40},
                                        {"EAR", "  Long Artist  "},
                                        {"AUT", " Writer "},
                                        {"IMG", " link.jpg "}}),
                           Id3v1("T", "Short")})));
    EXPECT_TRUE(tag.LyricsPresent());
    EXPECT_EQ(tag.Title(), title40);
    EXPECT_EQ(tag.ExtendedTitle(), title40);
    EXPECT_EQ(tag.Artist(), "Long Artist");
    EXPECT_TRUE(tag.ExtendedArtist().empty());
    EXPECT_EQ(tag.LyricsAuthor(), "Writer");
    EXPECT_EQ(tag.ImageLink(), " link.jpg ");
}

TEST_F(ID3v1Test, BlockWithoutTagIsFoundAndSavingAddsTheTagAfterIt) {
    ASSERT_TRUE(Load(Join({Payload(100), LyricsBlock({{"LYR", "words"}})})));
    EXPECT_FALSE(tag.TagPresent());
    EXPECT_TRUE(tag.LyricsPresent());
    EXPECT_EQ(tag.Lyrics(), "words");
    ASSERT_TRUE(tag.Save(U(path)));
    const Bytes file = ReadFile(path);
    // Its fields unchanged, the block stays as it was read.
    const Bytes block = LyricsBlock({{"LYR", "words"}});
    EXPECT_EQ(file.size(), 100 + block.size() + 128);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), file.begin() + 100));
}

TEST_F(ID3v1Test, ScanRules) {
    struct Case {
        std::string name;
        Bytes block;
        std::string lyrics;
        std::string author;
        bool present;
    };
    const std::string begin = "LYRICSBEGIN";
    const Case cases[] = {
        {"zero size digits mean no block",
         Join({Text(begin + "AUT00003abc"), Text("000000LYRICS200")}), "", "", false},
        {"size not leading to LYRICSBEGIN",
         Join({Text("xxxxAUT00003abc"), Text("000015LYRICS200")}), "", "", false},
        {"IND skipped whatever its value", LyricsBlock({{"IND", "junk"}, {"AUT", "me"}}), "", "me",
         true},
        {"unknown id ends the scan", LyricsBlock({{"XYZ", "1"}, {"AUT", "me"}}), "", "", true},
        {"size that is no number ends the scan",
         Join({Text(begin + "AUT0x003abcLYR00002ab"), Text("000032LYRICS200")}), "", "", true},
        {"lone CR becomes CR LF", LyricsBlock({{"LYR", "one\rtwo"}}), "one\r\ntwo", "", true},
        {"CR LF stays", LyricsBlock({{"LYR", "one\r\ntwo"}}), "one\r\ntwo", "", true},
        {"lone LF stays", LyricsBlock({{"LYR", "one\ntwo"}}), "one\ntwo", "", true},
        {"CR LF LF keeps a blank line", LyricsBlock({{"LYR", "a\r\n\nb"}}), "a\r\n\nb", "", true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(Join({Payload(40), c.block, Id3v1("T")}))) << c.name;
        EXPECT_EQ(tag.LyricsPresent(), c.present) << c.name;
        EXPECT_EQ(tag.Lyrics(), c.lyrics) << c.name;
        EXPECT_EQ(tag.LyricsAuthor(), c.author) << c.name;
        EXPECT_EQ(tag.TrailerLength(), c.present ? std::int32_t(c.block.size() + 128) : 128)
            << c.name;
    }
}

TEST_F(ID3v1Test, FieldSizesRunningPastTheBlockEndTheScan) {
    // The AUT field claims 99999 bytes; the scan must end, not read the trailer as a value.
    const std::string fields = "LYRICSBEGINAUT99999abc";
    ASSERT_TRUE(
        Load(Join({Payload(10), Text(fields), Text(ZeroPadded(fields.size(), 6) + "LYRICS200")})));
    EXPECT_TRUE(tag.LyricsPresent());
    EXPECT_TRUE(tag.LyricsAuthor().empty());
}

TEST_F(ID3v1Test, ImageLinkAloneWritesNoBlockButWithAnAuthorItDoes) {
    tag.SetImageLink("cover.jpg");
    EXPECT_EQ(SavedBlock(), "");
    EXPECT_FALSE(tag.LyricsPresent());
    tag.SetLyricsAuthor("Me");
    EXPECT_EQ(SavedBlock(), "LYRICSBEGININD0000200AUT00002MeIMG00009cover.jpg000048LYRICS200");
    EXPECT_TRUE(tag.LyricsPresent());
}

TEST_F(ID3v1Test, TheSeventySevenByteBlock) {
    const std::string artist35 = k30 + "vwxyz";
    tag.SetArtist(artist35);
    tag.SetLyrics("12345");
    EXPECT_EQ(SavedBlock(),
              "LYRICSBEGININD0000210EAR00035" + artist35 + "LYR0000512345000077LYRICS200");
    TID3v1 again;
    ASSERT_TRUE(again.Load(U(path)));
    EXPECT_EQ(again.LyricsSize(), 77);
    EXPECT_EQ(again.Artist(), artist35);
    EXPECT_EQ(again.Lyrics(), "12345");
}

TEST_F(ID3v1Test, ValuesAreWrittenWholeAndReadTrimmed) {
    tag.SetLyricsAuthor("  a  ");
    tag.SetLyrics("x");
    EXPECT_NE(SavedBlock().find("AUT00005  a  "), std::string::npos);
    TID3v1 again;
    ASSERT_TRUE(again.Load(U(path)));
    EXPECT_EQ(again.LyricsAuthor(), "a");
}

TEST_F(ID3v1Test, OversizeValuesAreRefusedBeforeTouchingTheFile) {
    const Bytes content = Join({Payload(20), Id3v1("Old")});
    Make(content);
    tag.SetLyrics(std::string(100000, 'x'));
    EXPECT_FALSE(tag.Save(U(path)));
    EXPECT_EQ(ReadFile(path), content);
    // A long title goes into the block once there are lyrics to keep.
    tag.SetLyrics("la");
    tag.SetTitle(std::string(100000, 'w'));
    EXPECT_FALSE(tag.Save(U(path)));
    EXPECT_EQ(ReadFile(path), content);
}

// A field whose value did not change is saved with the bytes it was read with, so lyrics whose
// lone CRs would grow past the 99999 bytes of a field as CR LF still allow every other edit.
TEST_F(ID3v1Test, UnchangedBlockFieldsAreSavedAsRead) {
    std::string lyrics(99999, 'a');
    for (std::size_t i = 50; i < lyrics.size(); i += 100) {
        lyrics[i] = '\r';
    }
    const Bytes block = LyricsBlock({{"IND", "10"}, {"AUT", "  Penulis "}, {"LYR", lyrics}});
    struct Case {
        std::string name;
        std::function<void(TID3v1&)> edit;
        bool saves;
        bool blockAsRead;
    };
    const Case cases[] = {
        {"short title", [](TID3v1& t) { t.SetTitle("Baru"); }, true, true},
        {"long title", [](TID3v1& t) { t.SetTitle(std::string(40, 't')); }, true, false},
        {"author", [](TID3v1& t) { t.SetLyricsAuthor("Lain"); }, true, false},
        {"lyrics", [](TID3v1& t) { t.SetLyrics(t.Lyrics() + "!"); }, false, false},
    };
    for (const Case& c : cases) {
        const Bytes original = Join({Payload(100), block, Id3v1("Old")});
        ASSERT_TRUE(Load(original)) << c.name;
        c.edit(tag);
        EXPECT_EQ(tag.Save(U(path)), c.saves) << c.name;
        const Bytes now = ReadFile(path);
        if (!c.saves) {
            EXPECT_EQ(now, original) << c.name;
            continue;
        }
        const std::string text(now.begin(), now.end());
        EXPECT_EQ(text.find(std::string(block.begin(), block.end())) != std::string::npos,
                  c.blockAsRead)
            << c.name;
        // The lyrics keep their lone CRs either way.
        EXPECT_NE(text.find("LYR99999" + lyrics), std::string::npos) << c.name;
        TID3v1 back;
        ASSERT_TRUE(back.Load(U(path))) << c.name;
        EXPECT_EQ(back.Lyrics(), tag.Lyrics()) << c.name;
    }
}
