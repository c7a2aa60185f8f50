// Damaged tags: seeded byte mutations of real-shaped tags must never crash, hang or lose the
// audio when the tags are read and written back.

#include "tags/tid3v1.h"
#include "tags/tid3v2.h"

#include "tagfixtures.h"

#include <random>

using namespace fixtures;

TEST(TagRobustness, MutatedTagsReadAndSaveSafely) {
    const Bytes audio = MpegFrames(3);
    const Bytes v2 =
        Id3v2(4,
              Join({Frame("TIT2", Join({Bytes{1}, Text("\xff\xfeT\0i\0")}), SizeCoding::Syncsafe),
                    Frame("COMM",
                          Join({Bytes{1}, Text("eng\xff\xfe"
                                               "d\0\0\0\xff\xfe"
                                               "c\0")}),
                          SizeCoding::Syncsafe),
                    Frame("WXXX", Join({Bytes{0}, Text("d"), Bytes{0}, Text("http://u")}),
                          SizeCoding::Syncsafe),
                    Frame("APIC", Payload(300), SizeCoding::Syncsafe)}),
              40);
    const Bytes trailer =
        Join({LyricsBlock({{"IND", "10"}, {"ETT", std::string(40, 't')}, {"LYR", "a\rb"}}),
              Id3v1("Title", "Artist", "Album", "1999", "Comment", 0, 3, 17)});
    std::mt19937 random(20261208);
    TempDir dir;
    const std::string path = dir.file("fuzz.mp3");
    for (int round = 0; round < 200; ++round) {
        Bytes head = v2;
        Bytes tail = trailer;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            Bytes& target = (random() % 2) != 0 ? head : tail;
            const std::size_t at = random() % target.size();
            if (&target == &head && at >= 5 && at <= 9) {
                // The header's flags and size declare the tag's extent; bytes inside it are the
                // tag's by definition, so a damaged extent is not a damaged tag.
                continue;
            }
            target[at] = static_cast<std::uint8_t>(
                (random() % 3) == 0 ? std::uint8_t{0xFF} : static_cast<std::uint8_t>(random()));
        }
        WriteFile(path, Join({head, audio, tail}));

        TID3v2 tag2;
        ASSERT_TRUE(tag2.LoadTag(U(path))) << round;
        TID3v1 tag1;
        ASSERT_TRUE(tag1.Load(U(path))) << round;
        tag2.SetTitle(u"Saved");
        tag1.SetTitle("Saved");
        // Whatever the damage, the audio survives both saves.
        tag2.SaveTag(U(path));
        tag1.Save(U(path));
        const Bytes file = ReadFile(path);
        EXPECT_NE(std::search(file.begin(), file.end(), audio.begin(), audio.end()), file.end())
            << round;
        EXPECT_EQ(dir.entries(), 1u) << round;
    }
}
