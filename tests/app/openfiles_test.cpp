// Files handed to the window from a command line: each is a drop of its own on the playlist.
#include "app/openfiles.h"
#include "tests/support/playerfixture.h"
#include "tests/support/qtprinters.h"

namespace {

using OpenFilesTest = PlayerFixture;

TEST_F(OpenFilesTest, EachFileIsADropOfItsOwnAndAMissingOneGivesTheUsualError) {
    const QString missing = QStringLiteral("/nonexistent/gone.mp3");
    const struct {
        const char* what;
        std::vector<const char*> restored;
        QStringList files;
        QStringList names;  // the playlist afterwards
        QString mode;
        QString playing;  // the device's file
        int messages;
    } cases[] = {
        {"fresh player",
         {},
         {MediaFile("tone.wav"), missing, MediaFile("tone.mp3")},
         {QStringLiteral("tone.wav"), QStringLiteral("gone.mp3"), QStringLiteral("tone.mp3")},
         QStringLiteral("Playing"),
         MediaFile("tone.wav"),
         0},
        {"missing first",
         {},
         {missing, MediaFile("tone.mp3")},
         {QStringLiteral("gone.mp3"), QStringLiteral("tone.mp3")},
         QStringLiteral("Mode"),
         missing,
         1},
        {"restored playlist",
         {"tone.mp3"},
         {MediaFile("tone.wav")},
         {QStringLiteral("tone.mp3"), QStringLiteral("tone.wav")},
         QStringLiteral("Mode"),
         MediaFile("tone.mp3"),
         0},
    };
    for (const auto& c : cases) {
        WriteState(c.restored, "0\r\n2\r\n1\r\n1000\r\n");
        TForm1& f = Start();
        shown.clear();
        OpenFiles(f, c.files);
        EXPECT_EQ(f.List2->Count(), int(c.restored.size())) << "added from the event loop";
        ASSERT_TRUE(WaitFor([&] { return f.List2->Count() == c.names.size(); })) << c.what;
        EXPECT_EQ(f.List2->Lines(), c.names) << c.what;
        EXPECT_EQ(f.list1->Lines().last(), c.files.last()) << c.what;
        EXPECT_EQ(f.LabelMode->text(), c.mode) << c.what;
        EXPECT_EQ(f.MediaPlayer->FileName(), c.playing) << c.what;
        EXPECT_EQ(int(shown.size()), c.messages) << c.what << Texts().join(u'\n').toStdString();
        form.reset();
    }
}

}  // namespace
