// Hostile inputs for the player: damaged media of every type the open dialog offers, random
// bytes under each extension, a folder dropped on the playlist, damaged state files, an index
// outside the playlist, two copies started at the same instant. Each ends in a message or the
// player's ordinary behaviour, never a crash or a hang (every wait here is a hang guard).
#include <sys/wait.h>
#include <unistd.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "platform/tsingleinstance.h"
#include "tests/support/playerfixture.h"

namespace {

QByteArray RandomBytes(int size, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

QByteArray ReadMedia(const char* name) {
    QFile file(MediaFile(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class HostileInputTest : public PlayerFixture {
protected:
    // Starts the player on the one entry and lets it try to play; true when it came to rest
    // within the hang guard: refused with a message, or playing or stopped with none.
    bool PlaysOrRefuses(const QString& path) {
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        Write(QStringLiteral("PlayList.Txt"), path.toUtf8() + "\r\n");
        Write(QStringLiteral("KorviList.Txt"), name.toUtf8() + "\r\n");
        Write(QStringLiteral("KorviSetting.Korvi"), "0\r\n2\r\n1\r\n500\r\n");
        TForm1& f = Start();
        guarded([&f] { f.BtnPlayClick(); }, &f)();
        // A few position polls and title ticks on whatever the device made of it.
        RunEventLoopFor(300);
        const int mode = f.MediaPlayer->Mode();
        const bool rests =
            f.isVisible() && f.list1->Count() == 1 && f.List2->Count() == 1 &&
            (!shown.empty() || mode == TMediaPlayer::mpPlaying || mode == TMediaPlayer::mpStopped);
        form.reset();
        return rests;
    }
};

}  // namespace

TEST_F(HostileInputTest, DamagedAndRandomMediaOfEveryTypeGiveAMessageOrPlay) {
    const char* media[] = {"tone.wav", "tune.mid", "clip.wmv",  "tone.wma",
                           "tone.mp3", "clip.mpg", "clip.mpeg", "clip.avi"};
    unsigned seed = 1;
    for (const char* name : media) {
        const QByteArray whole = ReadMedia(name);
        ASSERT_FALSE(whole.isEmpty()) << name;
        const QString extension = QString::fromUtf8(name).section(QLatin1Char('.'), -1);
        struct Variant {
            const char* kind;
            QByteArray bytes;
        };
        QByteArray flipped = whole;
        for (int i = 0; i < 64 && !flipped.isEmpty(); ++i) {
            flipped[int((seed * 7919u + unsigned(i) * 104729u) % unsigned(flipped.size()))] ^= 0x5A;
        }
        const Variant variants[] = {
            {"truncated", whole.left(whole.size() / 3)},
            {"header only", whole.left(64)},
            {"flipped bytes", flipped},
            {"random bytes", RandomBytes(8192, seed)},
            {"empty", QByteArray()},
        };
        for (const Variant& v : variants) {
            SCOPED_TRACE(std::string(name) + ", " + v.kind);
            const QString file = QStringLiteral("hostile.") + extension;
            Write(file, v.bytes);
            shown.clear();
            EXPECT_TRUE(PlaysOrRefuses(Path(file)));
            std::printf("%s, %s: %s\n", name, v.kind,
                        shown.empty() ? "no message"
                                      : Texts().join(QStringLiteral(" / ")).toUtf8().constData());
            // Whatever was said, it was said in a box of this program, never with an empty text.
            for (const auto& request : shown) {
                EXPECT_FALSE(request.text.isEmpty());
            }
            ++seed;
        }
    }
}

TEST_F(HostileInputTest, FolderDroppedOnThePlaylistIsReportedNotPlayed) {
    WriteState({}, "0\r\n2\r\n1\r\n1000\r\n");
    TForm1& f = Start();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("a folder.mp3")));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Path(QStringLiteral("a folder.mp3")))});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.List2->viewport(), &drop);
    RunEventLoopFor(300);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.list1->Count(), f.List2->Count()) << "the two lists stay parallel";
    // A folder either stays out of the playlist or is refused by the device with a message.
    if (f.list1->Count() > 0) {
        EXPECT_FALSE(shown.empty());
    }
    EXPECT_TRUE(f.close());
}

TEST_F(HostileInputTest, DamagedStateFilesStartThePlayer) {
    const QByteArray longLine(1 << 20, 'x');
    struct Case {
        const char* name;
        QByteArray playList;
        QByteArray names;
        QByteArray settings;
    };
    const Case cases[] = {
        {"binary garbage everywhere", RandomBytes(4096, 11), RandomBytes(4096, 12),
         RandomBytes(64, 13)},
        {"zero bytes", QByteArray(300, '\0'), QByteArray(300, '\0'), QByteArray(8, '\0')},
        {"a megabyte on one line", "/" + longLine + ".mp3\r\n", longLine + ".mp3\r\n",
         "0\r\n1\r\n1\r\n1000\r\n"},
        {"a megabyte of settings", "", "", longLine},
        {"fewer paths than names", MediaFile("tone.wav").toUtf8() + "\r\n",
         "tone.wav\r\nmissing.mp3\r\nother.mp3\r\n", "2\r\n1\r\n1\r\n1000\r\n"},
        {"more paths than names",
         MediaFile("tone.wav").toUtf8() + "\r\n" + MediaFile("tone.mp3").toUtf8() + "\r\n",
         "tone.wav\r\n", "1\r\n1\r\n1\r\n1000\r\n"},
        {"index past the end", MediaFile("tone.wav").toUtf8() + "\r\n", "tone.wav\r\n",
         "7\r\n1\r\n1\r\n1000\r\n"},
        {"negative index", MediaFile("tone.wav").toUtf8() + "\r\n", "tone.wav\r\n",
         "-3\r\n1\r\n1\r\n1000\r\n"},
        {"index beyond 32 bits", MediaFile("tone.wav").toUtf8() + "\r\n", "tone.wav\r\n",
         "99999999999\r\n1\r\n1\r\n1000\r\n"},
        {"volume out of range", MediaFile("tone.wav").toUtf8() + "\r\n", "tone.wav\r\n",
         "0\r\n1\r\n1\r\n-5000\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shown.clear();
        Write(QStringLiteral("PlayList.Txt"), c.playList);
        Write(QStringLiteral("KorviList.Txt"), c.names);
        Write(QStringLiteral("KorviSetting.Korvi"), c.settings);
        TForm1& f = Start();
        EXPECT_TRUE(f.isVisible());
        std::printf("%s: %s\n", c.name,
                    shown.empty()
                        ? "no message"
                        : Texts().join(QStringLiteral(" / ")).left(200).toUtf8().constData());
        for (const auto& request : shown) {
            EXPECT_FALSE(request.text.isEmpty());
        }
        // Play, next and previous on what was restored end in a message at worst.
        // As the buttons run them: an error goes to the general error handler.
        for (void (TForm1::*handler)() : {&TForm1::BtnPlayClick, &TForm1::btnnextClick,
                                          &TForm1::btnprevClick, &TForm1::btnstopClick}) {
            guarded([&f, handler] { (f.*handler)(); }, &f)();
            QCoreApplication::processEvents();
        }
        for (const auto& request : shown) {
            EXPECT_FALSE(request.text.isEmpty());
        }
        EXPECT_NE(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying) << "Stop came last";
        EXPECT_TRUE(f.close());
        form.reset();
    }
}

TEST_F(HostileInputTest, ReadOnlyProgramFolderAtCloseKeepsTheWindowOpenWithAMessage) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser writes into read-only folders";
    }
    WriteState({"tone.wav"}, "0\r\n2\r\n1\r\n1000\r\n");
    TForm1& f = Start();
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    shown.clear();
    EXPECT_FALSE(f.close());
    EXPECT_EQ(shown.size(), 1u);
    ASSERT_TRUE(
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_TRUE(f.close());
}

TEST(HostileStartTest, TwoCopiesStartedAtTheSameInstantLeaveExactlyOneRunning) {
    QTemporaryDir dir;
    const QString lock = dir.filePath(QStringLiteral("Tovra3.lock"));
    for (int round = 0; round < 40; ++round) {
        int go[2];
        int end[2];
        int results[2];
        ASSERT_EQ(pipe(go), 0);
        ASSERT_EQ(pipe(end), 0);
        ASSERT_EQ(pipe(results), 0);
        pid_t children[2];
        for (pid_t& child : children) {
            child = fork();
            if (child == 0) {
                close(go[1]);
                close(end[1]);
                char start = 0;
                // Both wait at the same line; the parent's close releases them together.
                (void)read(go[0], &start, 1);
                TSingleInstance instance(lock);
                const char got = instance.Acquire() ? '1' : '0';
                (void)write(results[1], &got, 1);
                // Holds the lock until the parent has heard both.
                (void)read(end[0], &start, 1);
                _exit(0);
            }
        }
        close(go[0]);
        close(results[1]);
        close(go[1]);  // start
        std::string got;
        char c = 0;
        while (got.size() < 2 && read(results[0], &c, 1) == 1) {
            got += c;
        }
        close(results[0]);
        close(end[0]);
        close(end[1]);
        for (pid_t child : children) {
            int status = 0;
            waitpid(child, &status, 0);
        }
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, "01") << "round " << round;
    }
}
