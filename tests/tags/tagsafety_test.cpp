// A failure at any write, truncation, flush or rename of a save leaves the file byte for byte
// as it was or byte for byte as it should become, and leaves no temporary file behind.

#include "tags/tid3v1.h"
#include "tags/tid3v2.h"

#include "syscallfaults.h"
#include "tagfixtures.h"

#include <functional>

using namespace fixtures;

namespace {

struct Scenario {
    std::string name;
    Bytes original;
    // Runs the operation on the file; the result is the operation's.
    std::function<bool(const std::u16string&)> run;
};

void ExpectOldOrNew(const Scenario& s) {
    TempDir dir;
    const std::string path = dir.file("song.mp3");

    // A clean run: the new bytes and the number of calls that could fail.
    WriteFile(path, s.original);
    syscallfaults::Arm(0);
    ASSERT_TRUE(s.run(U(path))) << s.name;
    const std::size_t calls = syscallfaults::Disarm();
    const Bytes expected = ReadFile(path);
    ASSERT_NE(expected, s.original) << s.name;
    ASSERT_GT(calls, 0u) << s.name;

    for (std::size_t failAt = 1; failAt <= calls; ++failAt) {
        WriteFile(path, s.original);
        syscallfaults::Arm(failAt);
        const bool ok = s.run(U(path));
        syscallfaults::Disarm();
        const Bytes now = ReadFile(path);
        if (ok) {
            EXPECT_EQ(now, expected) << s.name << ": reported success, failure at call " << failAt;
        } else {
            EXPECT_EQ(now, s.original) << s.name << ": reported failure at call " << failAt;
        }
        EXPECT_EQ(dir.entries(), 1u) << s.name << ": failure at call " << failAt;
    }
}

}  // namespace

TEST(TagSafety, ID3v1SaveAndStrip) {
    const Bytes audio = MpegFrames(4);
    const Bytes withBlock =
        Join({audio, LyricsBlock({{"IND", "10"}, {"LYR", "old words\r\nline"}}), Id3v1("Old")});
    const auto save = [](const std::string& lyrics) {
        return [lyrics](const std::u16string& name) {
            TID3v1 tag;
            tag.Load(name);
            tag.SetTitle("A new title that is longer than thirty characters");
            tag.SetLyrics(lyrics);
            return tag.Save(name);
        };
    };
    const Scenario scenarios[] = {
        {"longer block", withBlock, save(std::string(3000, 'x'))},
        {"shorter block", withBlock, save("x")},
        {"no block any more", withBlock, save("")},
        {"first tag", audio, save("words")},
        {"strip", withBlock, [](const std::u16string& name) { return TID3v1().Strip(name); }},
    };
    for (const Scenario& s : scenarios) {
        ExpectOldOrNew(s);
    }
}

TEST(TagSafety, ID3v2SaveAndRemove) {
    const Bytes audio = Join({MpegFrames(8), Id3v1("v1")});
    const Bytes picture = Join({Bytes{0}, Text("image/jpeg"), Bytes{0, 3, 0}, Payload(9000, 3)});
    const Bytes small = Join({Id3v2(3, Frame("TIT2", Latin("Old")), 600), audio});
    const Bytes withPicture =
        Join({Id3v2(3, Join({Frame("TIT2", Latin("Old")), Frame("APIC", picture)})), audio});
    const auto save = [](std::size_t commentLength) {
        return [commentLength](const std::u16string& name) {
            TID3v2 tag;
            tag.LoadTag(name);
            tag.SetTitle(u"New title");
            tag.SetComment(std::u16string(commentLength, u'c'));
            return tag.SaveTag(name);
        };
    };
    const Scenario scenarios[] = {
        {"in place", small, save(10)},
        {"rewrite to 4096", small, save(1000)},
        {"rewrite carrying a picture", withPicture, save(10)},
        {"first tag", audio, save(10)},
        {"remove", withPicture,
         [](const std::u16string& name) { return TID3v2().RemoveTag(name); }},
    };
    for (const Scenario& s : scenarios) {
        ExpectOldOrNew(s);
    }
}
