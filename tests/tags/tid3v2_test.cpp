#include "tags/tid3v2.h"
#include "tags/unifile.h"

#include "tagfixtures.h"

#include <sys/stat.h>

using namespace fixtures;

namespace {

class ID3v2Test : public ::testing::Test {
protected:
    void Make(const Bytes& content) { WriteFile(path, content); }
    bool Load(const Bytes& content) {
        Make(content);
        return tag.LoadTag(U(path));
    }
    // The frames of a saved version-3 tag by identifier (content only).
    std::vector<std::pair<std::string, Bytes>> SavedFrames() {
        const Bytes file = ReadFile(path);
        std::vector<std::pair<std::string, Bytes>> frames;
        const std::size_t end = 10 + ReadSyncsafe32(file, 6);
        for (std::size_t at = 10; at + 10 <= end && file[at] != 0;) {
            const std::uint32_t size = ReadBE32(file, at + 4);
            frames.emplace_back(std::string(file.begin() + at, file.begin() + at + 4),
                                Bytes(file.begin() + at + 10, file.begin() + at + 10 + size));
            at += 10 + size;
        }
        return frames;
    }
    Bytes SavedFrame(const std::string& id) {
        for (auto& [frameId, content] : SavedFrames()) {
            if (frameId == id) {
                return content;
            }
        }
        return {};
    }

    TempDir dir;
    std::string path = dir.file("song.mp3");
    TID3v2 tag;
};

}  // namespace

TEST_F(ID3v2Test, TinyFilesAndFilesWithoutTag) {
    const Bytes tiny = Text("ID3\x03\x00");
    Make(tiny);
    EXPECT_FALSE(tag.LoadTag(U(path)));
    EXPECT_FALSE(tag.SaveTag(U(path)));
    EXPECT_FALSE(tag.RemoveTag(U(path)));
    EXPECT_EQ(ReadFile(path), tiny);
    EXPECT_EQ(dir.entries(), 1u);

    ASSERT_TRUE(Load(MpegFrames(2)));
    EXPECT_FALSE(tag.Present());
    EXPECT_EQ(tag.TagSize(), 0);
    EXPECT_FALSE(tag.RemoveTag(U(path)));
    EXPECT_EQ(ReadFile(path), MpegFrames(2));
    EXPECT_FALSE(tag.LoadTag(U(dir.file("missing.mp3"))));
}

TEST_F(ID3v2Test, HeaderRules) {
    struct Case {
        std::string name;
        Bytes file;
        int version;
        std::int32_t size;
        bool fields;
    };
    const Bytes title = Frame("TIT2", Latin("Song"));
    const Bytes audio = Payload(100);
    // A header that declares 2000 bytes of frames in a file of 125 bytes.
    Bytes overlong = Join({Id3v2(3, title), Payload(100)});
    overlong[8] = 0x0F;
    // Size bytes are used as they are: 00 00 00 80 declares 128 bytes, like 00 00 01 00.
    Bytes unmasked = Join({Id3v2(3, title, 113), audio});
    unmasked[8] = 0x00;
    unmasked[9] = 0x80;
    const Case cases[] = {
        {"version 3", Join({Id3v2(3, title, 20), audio}), 3, 45, true},
        {"declared size past the file", overlong, 3, 0, false},
        {"size bytes not masked", unmasked, 3, 138, true},
        {"version 0", Join({Id3v2(0, title), audio}), 0, 25, false},
        {"version 1", Join({Id3v2(1, title), audio}), 1, 25, false},
        {"version 5", Join({Id3v2(5, title), audio}), 5, 25, false},
        {"footer flag adds 10", Join({Id3v2(4, title, 0, 0x10), Payload(10), audio}), 4, 35, true},
        {"extended header skipped",
         Join({Id3v2(3, Join({Bytes{0, 0, 0, 6, 0, 0, 0, 0, 0, 0}, title}), 0, 0x40), audio}), 3,
         35, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(c.file)) << c.name;
        EXPECT_TRUE(tag.Present()) << c.name;
        EXPECT_EQ(tag.MajorVersion(), c.version) << c.name;
        EXPECT_EQ(tag.TagSize(), c.size) << c.name;
        EXPECT_EQ(tag.Title(), c.fields ? u"Song" : u"") << c.name;
    }
}

TEST_F(ID3v2Test, TextRules) {
    struct Expect {
        std::string name;
        Bytes frames;
        std::u16string (*read)(const TID3v2&);
        std::u16string expected;
    };
    const auto title = [](const TID3v2& t) { return t.Title(); };
    const auto genre = [](const TID3v2& t) { return t.Genre(); };
    const auto track = [](const TID3v2& t) { return t.TrackText(); };
    const auto year = [](const TID3v2& t) { return t.Year(); };
    const auto comment = [](const TID3v2& t) { return t.Comment(); };
    const auto url = [](const TID3v2& t) { return t.URL(); };
    const auto artist = [](const TID3v2& t) { return t.Artist(); };
    const Expect cases[] = {
        {"8-bit Latin-1", Frame("TIT2", Latin("Caf\xe9")), title, u"Caf\u00e9"},
        {"8-bit UTF-8", Frame("TIT2", Latin("Caf\xc3\xa9")), title, u"Caf\u00e9"},
        {"UTF-8", Frame("TIT2", Join({Bytes{3}, Text("\xe4\xb8\xad\xe6\x96\x87")})), title,
         u"\u4e2d\u6587"},
        {"UTF-16 FF FE", Frame("TIT2", Join({Bytes{1}, Utf16Le(u" \u4e2d ")})), title, u"\u4e2d"},
        {"UTF-16 FE FF", Frame("TIT2", Join({Bytes{1}, Utf16Be(u"\u4e2dx", true)})), title,
         u"\u4e2dx"},
        {"UTF-16BE", Frame("TIT2", Join({Bytes{2}, Utf16Be(u"Big", false)})), title, u"Big"},
        {"UTF-16 stops at zero",
         Frame("TIT2", Join({Bytes{1}, Utf16Le(u"A"), Bytes{0, 0, 'B', 0}})), title, u"A"},
        {"title fallback TIT1", Frame("TIT1", Latin("Group")), title, u"Group"},
        {"artist fallback TOPE", Frame("TOPE", Latin("Orig")), artist, u"Orig"},
        {"later frame wins", Join({Frame("TIT2", Latin("One")), Frame("TIT2", Latin("Two"))}),
         title, u"Two"},
        {"TCON (17)Rock", Frame("TCON", Latin("(17)Rock")), genre, u"Rock"},
        {"TCON (17)", Frame("TCON", Latin("(17)")), genre, u""},
        {"TRCK 5/12", Frame("TRCK", Latin("5/12")), track, u"5/12"},
        {"TDRC fallback", Frame("TDRC", Latin("2004-05-06")), year, u"2004"},
        {"TYER before TDRC", Join({Frame("TDRC", Latin("2004")), Frame("TYER", Latin("1999"))}),
         year, u"1999"},
        {"COMM 8-bit", Frame("COMM", Join({Latin("eng"), Text("desc"), Bytes{0}, Text("Nice")})),
         comment, u"Nice"},
        {"COMM iTunNORM description in UTF-16",
         Frame("COMM", Join({Bytes{1}, Text("eng"), Utf16Le(u"iTunNORM"), Bytes{0, 0},
                             Utf16Le(u" 0000 1234")})),
         comment, u"0000 1234"},
        {"COMM UTF-16 odd alignment",
         Frame("COMM",
               Join({Bytes{1}, Text("eng"), Utf16Le(u"\u0100"), Bytes{0, 0}, Utf16Le(u"\u0001x")})),
         comment, u"x"},
        {"WXXX UTF-16 description, 8-bit URL",
         Frame("WXXX", Join({Bytes{1}, Utf16Le(u"home"), Bytes{0, 0}, Text("http://e.x/\xe9")})),
         url, u"http://e.x/\u00e9"},
        {"WXXX 8-bit", Frame("WXXX", Join({Bytes{0}, Bytes{0}, Text("http://x.y")})), url,
         u"http://x.y"},
        {"encrypted frame not taken",
         Join({Frame("TIT2", Latin("Plain")),
               Frame("TIT2", Latin("zzz"), SizeCoding::Plain, 0, 0x40)}),
         title, u"Plain"},
        {"compressed frame not taken",
         Join({Frame("TIT2", Latin("Plain")),
               Frame("TIT2", Latin("zzz"), SizeCoding::Plain, 0, 0x80)}),
         title, u"Plain"},
    };
    for (const Expect& c : cases) {
        ASSERT_TRUE(Load(Join({Id3v2(3, c.frames, 10), Payload(20)}))) << c.name;
        EXPECT_EQ(c.read(tag), c.expected) << c.name;
    }
}

TEST_F(ID3v2Test, TrackNumbers) {
    const std::pair<std::string, int> cases[] = {
        {"5/12", 5}, {"A1", 0}, {"7", 7}, {"", 0}, {"70000", 70000 & 0xFFFF}, {"-1", 0xFFFF}};
    for (const auto& [text, number] : cases) {
        ASSERT_TRUE(Load(Join({Id3v2(3, Frame("TRCK", Latin(text))), Payload(20)})));
        EXPECT_EQ(tag.TrackNo(), number) << text;
    }
}

TEST_F(ID3v2Test, VersionTwoAndFourFrames) {
    ASSERT_TRUE(Load(Join({Id3v2(2, Join({Frame("TT2", Latin("Two"), SizeCoding::Bits24),
                                          Frame("TP1", Latin("Art"), SizeCoding::Bits24)})),
                           Payload(20)})));
    EXPECT_EQ(tag.Title(), u"Two");
    EXPECT_EQ(tag.Artist(), u"Art");

    // A 200-byte frame: syncsafe 00 00 01 48, plain it would be 328 bytes. Some encoders
    // write plain sizes; such a tag reads the same.
    const std::string long200(199, 'x');
    for (const SizeCoding coding : {SizeCoding::Syncsafe, SizeCoding::Plain}) {
        ASSERT_TRUE(Load(Join({Id3v2(4,
                                     Join({Frame("TALB", Latin(long200), coding),
                                           Frame("TIT2", Latin("Four"), coding)}),
                                     100),
                               Payload(20)})));
        EXPECT_EQ(tag.Title(), u"Four");
        EXPECT_EQ(tag.Album().size(), 199u);
    }

    // A frame with a data length indicator: the text follows it.
    ASSERT_TRUE(Load(Join({Id3v2(4, Frame("TIT2", Join({Bytes{0, 0, 0, 5}, Latin("Four")}),
                                          SizeCoding::Syncsafe, 0, 0x01)),
                           Payload(20)})));
    EXPECT_EQ(tag.Title(), u"Four");
}

// Unsynchronisation undone, extended headers skipped, plain and syncsafe version-2.4 sizes told
// apart, texts read whole however long.
TEST_F(ID3v2Test, ReadingRules) {
    struct Case {
        std::string name;
        Bytes tag;
        std::u16string title;
        std::u16string artist;
        std::size_t lyrics = 0;
    };
    // FF bytes in the mark, the text and the picture: unsynchronisation puts a zero after each.
    const Bytes title = Join({Bytes{1}, Utf16Le(u"\u00ff\u4e2d")});
    const Bytes artist = Latin("Art\xff");
    const Bytes picture = Join({Latin("image/png"), Bytes{0, 3, 0}, Payload(3000, 4)});
    const auto v4 = [](std::string_view id, const Bytes& content, std::uint8_t flags1 = 0) {
        return Frame(id, content, SizeCoding::Syncsafe, 0, flags1);
    };
    const auto indicated = [](const Bytes& content) {
        Bytes length;
        AppendSyncsafe32(length, static_cast<std::uint32_t>(content.size()));
        return Join({length, content});
    };
    // A 3967-byte picture: 00 00 0F 7F read as syncsafe is 2047 bytes, inside the picture.
    const Bytes bigPicture = Join({Latin("image/png"), Bytes{0, 3, 0}, Payload(3954, 5)});
    // Frame sizes both readings land on: 00 00 01 00 is 128 bytes syncsafe, 256 plain. The
    // syncsafe reading finds a title inside what the plain one takes for the first frame.
    const Bytes inner =
        Frame("TIT2", Join({Latin("Syncsafe"), Bytes(109, 0)}), SizeCoding::Syncsafe);
    Bytes ambiguous = Frame("PRIV", Join({Text("x"), Bytes(127, 'p'), inner}), SizeCoding::Plain);
    ambiguous[4] = 0, ambiguous[5] = 0, ambiguous[6] = 1, ambiguous[7] = 0;
    const Case all[] = {
        {"2.3 unsynchronised",
         Id3v2(3,
               Unsynchronised(
                   Join({Frame("TIT2", title), Frame("APIC", picture), Frame("TPE1", artist)})),
               0, 0x80),
         u"\u00ff\u4e2d", u"Art\u00ff"},
        {"2.2 unsynchronised",
         Id3v2(2,
               Unsynchronised(
                   Join({Frame("TT2", title, SizeCoding::Bits24),
                         Frame("PIC", Join({Latin("PNG"), Payload(500, 6)}), SizeCoding::Bits24),
                         Frame("TP1", artist, SizeCoding::Bits24)})),
               0, 0x80),
         u"\u00ff\u4e2d", u"Art\u00ff"},
        {"2.4 frames unsynchronised with a data length indicator",
         Id3v2(4, Join({v4("TIT2", Unsynchronised(indicated(title)), 0x03),
                        v4("APIC", Unsynchronised(picture), 0x02),
                        v4("TPE1", indicated(artist), 0x01)})),
         u"\u00ff\u4e2d", u"Art\u00ff"},
        {"2.4 extended header",
         Id3v2(4, Join({Bytes{0, 0, 0, 6, 1, 0}, v4("TIT2", title), v4("TPE1", artist)}), 10, 0x40),
         u"\u00ff\u4e2d", u"Art\u00ff"},
        {"2.3 extended header whose size counts its own bytes",
         Id3v2(3,
               Join({Bytes{0, 0, 0, 8, 0, 0, 0, 0}, Frame("TIT2", title), Frame("TPE1", artist)}),
               10, 0x40),
         u"\u00ff\u4e2d", u"Art\u00ff"},
        {"2.3 extended header flagged but absent",
         Id3v2(3, Join({Frame("TIT2", title), Frame("TPE1", artist)}), 10, 0x40), u"\u00ff\u4e2d",
         u"Art\u00ff"},
        {"2.4 plain sizes behind a big picture",
         Id3v2(4, Join({Frame("APIC", bigPicture), Frame("TIT2", title), Frame("TPE1", artist)}),
               100),
         u"\u00ff\u4e2d", u"Art\u00ff"},
        {"2.4 sizes both readings land on: syncsafe",
         Id3v2(4, Join({ambiguous, v4("TPE1", artist)})), u"Syncsafe", u"Art\u00ff"},
        {"padding that is not zero ends the frames",
         Join({Id3v2(3, Join({Frame("TIT2", title), Frame("TPE1", artist), Text("junk")}))}),
         u"\u00ff\u4e2d", u"Art\u00ff"},
        {"lyrics and comment past 5000 bytes",
         Id3v2(3, Join({Frame("USLT", Join({Latin("eng"), Bytes{0}, Text(std::string(9000, 'l'))})),
                        Frame("COMM", Join({Latin("eng"), Bytes{0}, Text(std::string(7000, 'c'))})),
                        Frame("TIT2", title), Frame("TPE1", artist)})),
         u"\u00ff\u4e2d", u"Art\u00ff", 9000},
    };
    for (const Case& c : all) {
        ASSERT_TRUE(Load(Join({c.tag, MpegFrames(2)}))) << c.name;
        EXPECT_EQ(tag.Title(), c.title) << c.name;
        EXPECT_EQ(tag.Artist(), c.artist) << c.name;
        EXPECT_EQ(tag.Lyrics().size(), c.lyrics) << c.name;
        EXPECT_EQ(tag.Comment().size(), c.lyrics == 0 ? 0u : 7000u) << c.name;
    }
}

TEST_F(ID3v2Test, AFrameSizeWithItsTopBitSetEndsTheReading) {
    Bytes bad = Frame("TALB", Latin("x"));
    bad[4] = 0x80;
    ASSERT_TRUE(
        Load(Join({Id3v2(3, Join({Frame("TIT2", Latin("T")), bad, Frame("TPE1", Latin("A"))})),
                   Payload(20)})));
    EXPECT_EQ(tag.Title(), u"T");
    EXPECT_EQ(tag.Artist(), u"");
}

TEST_F(ID3v2Test, SavingEmptyFieldsWritesHeaderAndPadding) {
    const Bytes audio = MpegFrames(3);
    Make(audio);
    ASSERT_TRUE(tag.SaveTag(U(path)));
    const Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), 4096 + audio.size());
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 10),
              (Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0x1F, 0x76}));
    EXPECT_TRUE(std::all_of(file.begin() + 10, file.begin() + 4096, [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin() + 4096));
    EXPECT_EQ(dir.entries(), 1u);
}

TEST_F(ID3v2Test, InPlaceWhenItFitsElseRewritten) {
    const Bytes audio = MpegFrames(3);
    Make(Join({Id3v2(3, Frame("TIT2", Latin("Old")), 500), audio}));
    tag.SetTitle(u"New title");
    ASSERT_TRUE(tag.SaveTag(U(path)));
    Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), 524 + audio.size());  // the old length: written in place
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin() + 524));
    ASSERT_TRUE(tag.LoadTag(U(path)));
    EXPECT_EQ(tag.Title(), u"New title");

    // Too big for the old tag: rewritten with a 4096-byte tag.
    tag.SetComment(std::u16string(300, u'c'));
    ASSERT_TRUE(tag.SaveTag(U(path)));
    file = ReadFile(path);
    ASSERT_EQ(file.size(), 4096 + audio.size());
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin() + 4096));

    // More than 4096 bytes needed: exactly the needed size, no padding.
    tag.SetComment(std::u16string(3000, u'c'));
    ASSERT_TRUE(tag.SaveTag(U(path)));
    file = ReadFile(path);
    const std::size_t needed = 10 + (2 + 18 + 11) + (5 + 6002 + 11);
    ASSERT_EQ(file.size(), needed + audio.size());
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin() + needed));

    // A tag over 4096 bytes is always rewritten back to 4096.
    tag.SetComment(u"short");
    ASSERT_TRUE(tag.SaveTag(U(path)));
    EXPECT_EQ(ReadFile(path).size(), 4096 + audio.size());
    EXPECT_EQ(dir.entries(), 1u);
}

TEST_F(ID3v2Test, SavedFramesAndTheirEncoding) {
    Make(Payload(30));
    tag.SetTitle(u"  T\u00eftle  ");
    tag.SetComment(u"C");
    tag.SetURL(u"http://x.y/\u00e9");
    tag.SetTrackNo(3);
    ASSERT_TRUE(tag.SaveTag(U(path)));
    EXPECT_EQ(SavedFrame("TIT2"), Join({Bytes{1}, Utf16Le(u"T\u00eftle")}));
    EXPECT_EQ(SavedFrame("TRCK"), Join({Bytes{1}, Utf16Le(u"3")}));
    EXPECT_EQ(SavedFrame("COMM"), Join({Bytes{1}, Text("eng"), Bytes{0, 0}, Utf16Le(u"C")}));
    EXPECT_EQ(SavedFrame("WXXX"), Join({Bytes{0, 0}, Text("http://x.y/\xe9")}));
    const auto frames = SavedFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].first, "TIT2");
    EXPECT_EQ(frames[1].first, "TRCK");
    EXPECT_EQ(frames[2].first, "COMM");
    EXPECT_EQ(frames[3].first, "WXXX");
}

TEST_F(ID3v2Test, TheSavedTrackText) {
    struct Case {
        std::string loaded;
        std::uint16_t trackNo;
        std::u16string saved;  // empty: no TRCK frame
    };
    const Case cases[] = {
        {"5/12", 5, u"5/12"}, {"5/12", 6, u"6"}, {"5/12", 0, u""}, {"", 9, u"9"}, {"A1", 4, u"4"},
    };
    for (const Case& c : cases) {
        Make(Join({Id3v2(3, Frame("TRCK", Latin(c.loaded)), 100), Payload(30)}));
        ASSERT_TRUE(tag.LoadTag(U(path)));
        tag.SetTrackNo(c.trackNo);
        ASSERT_TRUE(tag.SaveTag(U(path)));
        ASSERT_TRUE(tag.LoadTag(U(path)));
        EXPECT_EQ(tag.TrackText(), c.saved) << c.loaded << " " << c.trackNo;
    }
}

TEST_F(ID3v2Test, FramesTheFieldsDoNotCoverAreCarried) {
    const Bytes picture = Join({Bytes{0}, Text("image/png"), Bytes{0, 3, 0}, Payload(6000, 7)});
    const Bytes txxx = Join({Bytes{0}, Text("key"), Bytes{0}, Text("value")});
    const Bytes audio = MpegFrames(2);
    Make(Join({Id3v2(3,
                     Join({Frame("TIT2", Latin("Old")),
                           Frame("APIC", picture, SizeCoding::Plain, 0x40, 0), Frame("TXXX", txxx),
                           Frame("TIT1", Latin("group"))}),
                     50),
               audio}));
    ASSERT_TRUE(tag.LoadTag(U(path)));
    tag.SetTitle(u"New");
    ASSERT_TRUE(tag.SaveTag(U(path)));
    const auto frames = SavedFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].first, "TIT2");
    EXPECT_EQ(frames[1], std::make_pair(std::string("APIC"), picture));
    EXPECT_EQ(frames[2], std::make_pair(std::string("TXXX"), txxx));
    EXPECT_EQ(frames[3], std::make_pair(std::string("TIT1"), Latin("group")));
    const Bytes file = ReadFile(path);
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.end() - std::ssize(audio)));
    // The APIC's flags are kept byte for byte.
    const std::size_t apicAt = 10 + 10 + SavedFrame("TIT2").size();
    EXPECT_EQ(file[apicAt + 8], 0x40);
}

TEST_F(ID3v2Test, ProgramCommentsNeitherHideTheUsersCommentNorGetLost) {
    const Bytes mine = Join({Latin("eng"), Bytes{0}, Text("Mine")});
    const Bytes norm = Join(
        {Bytes{1}, Text("eng"), Utf16Le(u"iTunNORM"), Bytes{0, 0}, Utf16Le(u" 00000318 000002D6")});
    for (const bool normLast : {true, false}) {
        const Bytes frames = normLast ? Join({Frame("COMM", mine), Frame("COMM", norm)})
                                      : Join({Frame("COMM", norm), Frame("COMM", mine)});
        ASSERT_TRUE(Load(Join({Id3v2(3, frames), Payload(30)})));
        EXPECT_EQ(tag.Comment(), u"Mine") << normLast;
        tag.SetComment(u"Edited");
        ASSERT_TRUE(tag.SaveTag(U(path)));
        // The user's comment is replaced where it was; the program's stays as it was.
        const auto saved = SavedFrames();
        ASSERT_EQ(saved.size(), 2u);
        EXPECT_EQ(saved[normLast ? 1 : 0], std::make_pair(std::string("COMM"), norm));
        ASSERT_TRUE(tag.LoadTag(U(path)));
        EXPECT_EQ(tag.Comment(), u"Edited");
        // Emptied, the comment stays empty: the program's one behind it is not read instead.
        tag.SetComment(u"");
        ASSERT_TRUE(tag.SaveTag(U(path)));
        EXPECT_EQ(SavedFrames()[normLast ? 1 : 0], std::make_pair(std::string("COMM"), norm));
        ASSERT_TRUE(tag.LoadTag(U(path)));
        EXPECT_EQ(tag.Comment(), u"");
    }
}

// A field the user changed replaces the frame it was read from; every other frame stays as it
// was, fields that read as they did included.
TEST_F(ID3v2Test, AnEditReplacesOnlyTheFrameItCameFrom) {
    using Frames = std::vector<std::pair<std::string, Bytes>>;
    struct Case {
        std::string name;
        Bytes tag;
        void (*edit)(TID3v2&);
        Frames saved;
    };
    const auto wide = [](std::u16string_view text) { return Join({Bytes{1}, Utf16Le(text)}); };
    const auto comment = [](std::string_view language, std::string_view description,
                            std::string_view text) {
        return Join({Latin(language), Text(description), Bytes{0}, Text(text)});
    };
    const Bytes hallo = comment("deu", "", "Hallo");
    const Bytes norm = comment("eng", "iTunNORM", " 0000");
    const Bytes date = Latin("2001-05-06T12:30");
    const Bytes home = Join({Latin("home"), Bytes{0}, Text("http://old")});
    const Case cases[] = {
        {"comment beside other languages and a program's",
         Id3v2(3, Join({Frame("COMM", hallo), Frame("COMM", comment("eng", "", "Mine")),
                        Frame("COMM", norm)})),
         [](TID3v2& t) { t.SetComment(u"New"); },
         {{"COMM", hallo},
          {"COMM", Join({Bytes{1}, Text("eng"), Bytes{0, 0}, Utf16Le(u"New")})},
          {"COMM", norm}}},
        {"year of a recording time",
         Id3v2(4, Frame("TDRC", date, SizeCoding::Syncsafe)),
         [](TID3v2& t) { t.SetYear(u"2002"); },
         {{"TYER", wide(u"2002")}, {"TDAT", Latin("0605")}, {"TIME", Latin("1230")}}},
        {"year emptied takes its date",
         Id3v2(4, Frame("TDRC", date, SizeCoding::Syncsafe)),
         [](TID3v2& t) { t.SetYear(u""); },
         {}},
        {"original artist the artist was read from",
         Id3v2(3, Join({Frame("TOPE", Latin("Orig")), Frame("TCON", Latin("(17)Rock")),
                        Frame("TRCK", Latin("5/12"))})),
         [](TID3v2& t) { t.SetOrigArtist(u"New"); },
         {{"TPE1", wide(u"Orig")},
          {"TOPE", wide(u"New")},
          {"TCON", Latin("(17)Rock")},
          {"TRCK", Latin("5/12")}}},
        {"title emptied beside a second one",
         Id3v2(3, Join({Frame("TIT2", Latin("One")), Frame("TIT2", Latin("Two"))})),
         [](TID3v2& t) { t.SetTitle(u""); },
         {{"TIT2", Latin("One")}, {"TIT2", Bytes{0, 0}}}},
        {"URL with a description",
         Id3v2(3, Join({Frame("WXXX", home), Frame("TIT2", Latin("T"))})),
         [](TID3v2& t) { t.SetURL(u"http://new"); },
         {{"WXXX", Join({Bytes{0, 0}, Text("http://new")})}, {"TIT2", Latin("T")}}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(Join({c.tag, Payload(30)}))) << c.name;
        c.edit(tag);
        ASSERT_TRUE(tag.SaveTag(U(path))) << c.name;
        EXPECT_EQ(SavedFrames(), c.saved) << c.name;
        TID3v2 again;
        ASSERT_TRUE(again.LoadTag(U(path))) << c.name;
        EXPECT_EQ(again.Title(), tag.Title()) << c.name;
        EXPECT_EQ(again.Artist(), tag.Artist()) << c.name;
        EXPECT_EQ(again.Year(), tag.Year()) << c.name;
        EXPECT_EQ(again.Comment(), tag.Comment()) << c.name;
        EXPECT_EQ(again.URL(), tag.URL()) << c.name;
        EXPECT_EQ(again.OrigArtist(), tag.OrigArtist()) << c.name;
    }
}

TEST_F(ID3v2Test, VersionFourFramesAreCarriedWithPlainSizesAndVersionThreeFlags) {
    const std::string big(300, 'e');
    Make(Join({Id3v2(4, Join({Frame("TSSE", Latin(big), SizeCoding::Syncsafe),
                              Frame("TDRC", Latin("2004"), SizeCoding::Syncsafe),
                              Frame("TXXX", Join({Bytes{0, 0, 0, 2}, Latin("f")}),
                                    SizeCoding::Syncsafe, 0, 0x01),
                              Frame("TXXX", Latin("f"), SizeCoding::Syncsafe, 0, 0x01),
                              Frame("TIT2", Latin("Four"), SizeCoding::Syncsafe)})),
               Payload(30)}));
    ASSERT_TRUE(tag.LoadTag(U(path)));
    EXPECT_EQ(tag.Year(), u"2004");
    ASSERT_TRUE(tag.SaveTag(U(path)));
    // The data length indicator is dropped; a frame too short to hold it is damaged.
    const auto frames = SavedFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], std::make_pair(std::string("TSSE"), Latin(big)));
    EXPECT_EQ(frames[1], std::make_pair(std::string("TYER"), Latin("2004")));
    EXPECT_EQ(frames[2], std::make_pair(std::string("TXXX"), Latin("f")));
    EXPECT_EQ(frames[3], std::make_pair(std::string("TIT2"), Latin("Four")));
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file[3], 3);
}

TEST_F(ID3v2Test, FramesBehindAnExtendedHeaderAreCarried) {
    const Bytes extended3{0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
    const Bytes extended4{0, 0, 0, 6, 1, 0};
    const Bytes picture = Join({Bytes{0}, Text("image/png"), Bytes{0, 3, 0}, Payload(700, 5)});
    for (const int version : {3, 4}) {
        const SizeCoding coding = version == 4 ? SizeCoding::Syncsafe : SizeCoding::Plain;
        Make(Join({Id3v2(static_cast<std::uint8_t>(version),
                         Join({version == 4 ? extended4 : extended3,
                               Frame("TIT2", Latin("x"), coding), Frame("APIC", picture, coding)}),
                         0, 0x40),
                   Payload(30)}));
        ASSERT_TRUE(tag.LoadTag(U(path)));
        EXPECT_EQ(tag.Title(), u"x");
        tag.SetTitle(u"New");
        ASSERT_TRUE(tag.SaveTag(U(path)));
        const auto frames = SavedFrames();
        ASSERT_EQ(frames.size(), 2u) << version;
        EXPECT_EQ(frames[1], std::make_pair(std::string("APIC"), picture)) << version;
    }
}

TEST_F(ID3v2Test, VersionTwoTagsAreSavedAsVersionThree) {
    Make(Join({Id3v2(2, Join({Frame("TT2", Latin("Two"), SizeCoding::Bits24),
                              Frame("PIC", Latin("xx"), SizeCoding::Bits24)})),
               Payload(30)}));
    ASSERT_TRUE(tag.LoadTag(U(path)));
    ASSERT_TRUE(tag.SaveTag(U(path)));
    const auto frames = SavedFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].first, "TIT2");
}

TEST_F(ID3v2Test, RemoveKeepsTheAudioAndThePermissions) {
    const Bytes audio = MpegFrames(2);
    Make(Join({Id3v2(3, Frame("TIT2", Latin("x")), 100), audio}));
    ::chmod(path.c_str(), 0440);
    ASSERT_TRUE(tag.RemoveTag(U(path)));
    EXPECT_EQ(ReadFile(path), audio);
    EXPECT_EQ(Permissions(path), 0640u);
    EXPECT_EQ(dir.entries(), 1u);
}

TEST_F(ID3v2Test, ALinkStaysALinkAndItsFileIsRewritten) {
    std::filesystem::create_directory(dir.file("library"));
    const std::string target = dir.file("library/real.mp3");
    WriteFile(target, Join({Id3v2(3, Frame("TIT2", Latin("x"))), Payload(40)}));
    std::filesystem::create_symlink(target, path);
    tag.SetComment(std::u16string(100, u'c'));
    ASSERT_TRUE(tag.SaveTag(U(path)));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    ASSERT_TRUE(tag.LoadTag(U(target)));
    EXPECT_EQ(tag.Comment(), std::u16string(100, u'c'));
    EXPECT_EQ(tag.TagSize(), 4096);
}

TEST_F(ID3v2Test, AnExistingNeighbourWithTheTemporaryNameIsNotTouched) {
    WriteFile(path + "~", Text("my backup"));
    Make(Join({Id3v2(3, Frame("TIT2", Latin("x"))), Payload(40)}));
    tag.SetComment(std::u16string(100, u'c'));
    ASSERT_TRUE(tag.SaveTag(U(path)));
    EXPECT_EQ(ReadFile(path + "~"), Text("my backup"));
    EXPECT_EQ(dir.entries(), 2u);
}

TEST_F(ID3v2Test, AFileHeldOpenIsLeftUntouched) {
    const Bytes inPlace = Join({Id3v2(3, Frame("TIT2", Latin("x")), 200), Payload(40)});
    const Bytes rewrite = Join({Id3v2(3, Frame("TIT2", Latin("x"))), Payload(40)});
    for (const Bytes& content : {inPlace, rewrite}) {
        Make(content);
        const THandle reader = UniOpenFile(U(path), fmShareDenyWrite);
        tag.SetTitle(u"changed");
        EXPECT_FALSE(tag.SaveTag(U(path)));
        EXPECT_FALSE(tag.RemoveTag(U(path)));
        UniCloseHandle(reader);
        EXPECT_EQ(ReadFile(path), content);
        EXPECT_EQ(dir.entries(), 1u);
    }
}

TEST_F(ID3v2Test, UnicodeFileNames) {
    path = dir.file("Lagu \u00fc\u4e2d \u2014 1.mp3");
    Make(Payload(40));
    tag.SetArtist(u"\u00c9dith");
    ASSERT_TRUE(tag.SaveTag(U(path)));
    TID3v2 again;
    ASSERT_TRUE(again.LoadTag(U(path)));
    EXPECT_EQ(again.Artist(), u"\u00c9dith");
}
