#include "device/tmediaplayer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <sys/stat.h>

#include <functional>

#include "device/emcideviceerror.h"
#include "tests/support/eventloop.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

namespace {

using Mode = TMediaPlayer::TMPModes;

QString media(const char* name) {
    return QStringLiteral(TOVRA_SOURCE_DIR "/tests/data/media/") + QString::fromUtf8(name);
}

QString errorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const EMCIDeviceError& error) {
        return error.Message();
    }
    return {};
}

class MediaPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TestApplication(); }

    // Real decoding into sinks that keep the clock, so positions advance as they would when heard.
    TMediaPlayer player{nullptr, QStringLiteral("fakesink sync=true"),
                        QStringLiteral("fakesink sync=true")};

    void open(const char* name) {
        player.setFileName(media(name));
        player.Open();
    }
};

TEST_F(MediaPlayerTest, EveryDialogTypeOpensPlaysPausesResumesAndStops) {
    struct Case {
        const char* file;
        std::int64_t length;  // ms, as made by make.sh
    };
    for (const Case& c :
         {Case{"tone.wav", 1000}, Case{"tune.mid", 1500}, Case{"clip.wmv", 1500},
          Case{"tone.wma", 1500}, Case{"tone.mp3", 1500}, Case{"clip.mpg", 1500},
          Case{"clip.mpeg", 1500}, Case{"clip.avi", 1500}, Case{"vbr-noheader.mp3", 1500}}) {
        SCOPED_TRACE(c.file);
        open(c.file);
        EXPECT_NE(player.DeviceId(), 0);
        EXPECT_EQ(player.Mode(), Mode::mpOpen);
        EXPECT_NEAR(player.Length(), c.length, 100);
        EXPECT_EQ(player.Position(), 0);

        player.Play();
        player.SetVolume(500);
        EXPECT_EQ(player.Mode(), Mode::mpPlaying);
        EXPECT_TRUE(WaitFor([&] { return player.Position() > 100; }));

        player.Pause();
        EXPECT_EQ(player.Mode(), Mode::mpPaused);
        const std::int64_t paused = player.Position();
        RunEventLoopFor(300);  // playing on, it would have moved by as much
        EXPECT_EQ(player.Position(), paused) << "Pause keeps the position";

        player.Pause();  // resumes
        EXPECT_EQ(player.Mode(), Mode::mpPlaying);
        EXPECT_TRUE(WaitFor([&] { return player.Position() > paused; }));

        player.Stop();
        EXPECT_EQ(player.Mode(), Mode::mpStopped);
        const std::int64_t stopped = player.Position();
        EXPECT_GT(stopped, paused);
        RunEventLoopFor(300);
        EXPECT_EQ(player.Position(), stopped) << "Stop keeps the position";

        player.Close();
        EXPECT_EQ(player.DeviceId(), 0);
        EXPECT_EQ(player.Mode(), Mode::mpNotReady);
    }
}

TEST_F(MediaPlayerTest, EndOfTrackStopsAtTheLengthAndPlayRewinds) {
    open("tone.wav");
    const std::int64_t length = player.Length();
    player.PlayFrom(length - 200);
    EXPECT_EQ(player.Mode(), Mode::mpPlaying);
    ASSERT_TRUE(WaitFor([&] { return player.Mode() == Mode::mpStopped; }));
    EXPECT_EQ(player.Position(), length);
    EXPECT_EQ(player.Length(), length);

    player.Play();  // AutoRewind: from the start again
    EXPECT_EQ(player.Mode(), Mode::mpPlaying);
    EXPECT_LT(player.Position(), length - 200);
    EXPECT_TRUE(WaitFor([&] { return player.Position() > 0; }));
}

TEST_F(MediaPlayerTest, WithoutAutoRewindPlayAtTheEndStaysThere) {
    player.setAutoRewind(false);
    open("tone.wav");
    const std::int64_t length = player.Length();
    player.PlayFrom(length - 100);
    ASSERT_TRUE(WaitFor([&] { return player.Mode() == Mode::mpStopped; }));
    player.Play();
    EXPECT_TRUE(WaitFor([&] { return player.Mode() == Mode::mpStopped; }));
    EXPECT_EQ(player.Position(), length);
}

TEST_F(MediaPlayerTest, PlayFromSeeksAndPlaysOn) {
    open("tone.mp3");
    player.PlayFrom(800);
    EXPECT_EQ(player.Mode(), Mode::mpPlaying);
    EXPECT_GE(player.Position(), 800);
    EXPECT_TRUE(WaitFor([&] { return player.Position() > 850; }));

    // The seek the player uses while paused: resume from the slider's value.
    player.Pause();
    ASSERT_EQ(player.Mode(), Mode::mpPaused);
    player.PlayFrom(200);
    EXPECT_EQ(player.Mode(), Mode::mpPlaying);
    EXPECT_TRUE(WaitFor([&] { return player.Position() > 250 && player.Position() < 800; }));

    // Positions outside the track are brought inside it.
    player.PlayFrom(-50);
    EXPECT_GE(player.Position(), 0);
    player.PlayFrom(player.Length() + 5000);
    EXPECT_TRUE(WaitFor([&] { return player.Mode() == Mode::mpStopped; }));
    EXPECT_EQ(player.Position(), player.Length());
}

TEST_F(MediaPlayerTest, PauseIsAToggleThatIgnoresOtherModes) {
    open("tone.wma");
    player.Pause();  // opened, not playing: nothing to do
    EXPECT_EQ(player.Mode(), Mode::mpOpen);
    player.Play();
    player.Stop();
    player.Pause();
    EXPECT_EQ(player.Mode(), Mode::mpStopped);
}

TEST_F(MediaPlayerTest, OpenClosesThePreviousDeviceAndStartsAtTheBeginning) {
    open("tone.mp3");
    const std::uint16_t first = player.DeviceId();
    player.Play();
    ASSERT_TRUE(WaitFor([&] { return player.Position() > 100; }));
    open("tone.wav");
    EXPECT_NE(player.DeviceId(), 0);
    EXPECT_NE(player.DeviceId(), first);
    EXPECT_EQ(player.Mode(), Mode::mpOpen);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_NEAR(player.Length(), 1000, 50);
    EXPECT_EQ(player.FileName(), media("tone.wav"));
}

TEST_F(MediaPlayerTest, FilesItCannotPlayRaiseTheDeviceText) {
    // A pipe nobody writes to would hold the open for ever; a folder is no track either.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pipe = dir.filePath(QStringLiteral("pipe.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.mp3"));
    ASSERT_TRUE(QDir().mkdir(folder));
    struct Case {
        QString file;
        QString text;
    };
    for (const Case& c :
         {Case{media("unplayable.mp3"), QStringLiteral("Could not determine type of stream.")},
          Case{media("missing.wav"), QStringLiteral("Resource not found.")},
          Case{QString(), QStringLiteral("Unknown error code")},
          Case{pipe, QStringLiteral("\"%1\" is not a regular file.").arg(pipe)},
          Case{folder, QStringLiteral("\"%1\" is not a regular file.").arg(folder)}}) {
        SCOPED_TRACE(c.file.toStdString());
        player.setFileName(c.file);
        EXPECT_EQ(errorOf([&] { player.Open(); }), c.text);
        EXPECT_EQ(player.DeviceId(), 0);
        EXPECT_EQ(player.Mode(), Mode::mpNotReady);
        EXPECT_EQ(errorOf([&] { player.Play(); }), QStringLiteral("No MCI device open"));
    }
    // A failed open leaves nothing behind: the next file opens cleanly.
    open("tone.wav");
    EXPECT_NE(player.DeviceId(), 0);
    EXPECT_EQ(player.Mode(), Mode::mpOpen);
}

TEST_F(MediaPlayerTest, AnErrorWhilePlayingStopsTheDeviceAndPlayStartsItAfresh) {
    // The sink fails a few buffers into the track, after the open has succeeded.
    TMediaPlayer failing(nullptr, QStringLiteral("identity error-after=5 ! fakesink sync=true"),
                         QStringLiteral("fakesink"));
    failing.setFileName(media("tone.wav"));
    failing.Open();
    const std::uint16_t first = failing.DeviceId();
    failing.Play();
    ASSERT_TRUE(WaitFor([&] { return failing.Mode() == Mode::mpStopped; }));
    EXPECT_LT(failing.Position(), failing.Length());
    EXPECT_EQ(failing.DeviceId(), first);

    failing.Play();
    EXPECT_EQ(failing.Mode(), Mode::mpPlaying);
    EXPECT_NE(failing.DeviceId(), 0);
    EXPECT_TRUE(WaitFor([&] { return failing.Mode() == Mode::mpStopped; }));
}

TEST_F(MediaPlayerTest, WithoutAnOpenDeviceCommandsRaiseAndQueriesAnswerQuietly) {
    const QString noDevice = QStringLiteral("No MCI device open");
    EXPECT_TRUE(player.FileName().isEmpty());
    EXPECT_EQ(player.DeviceType(), TMediaPlayer::dtAutoSelect);
    EXPECT_TRUE(player.AutoRewind());
    for (int round = 0; round < 2; ++round) {  // never opened, then opened and closed
        SCOPED_TRACE(round);
        EXPECT_EQ(errorOf([&] { player.Play(); }), noDevice);
        EXPECT_EQ(errorOf([&] { player.PlayFrom(0); }), noDevice);
        EXPECT_EQ(errorOf([&] { player.Pause(); }), noDevice);
        EXPECT_EQ(errorOf([&] { player.Stop(); }), noDevice);
        EXPECT_EQ(errorOf([&] { player.Length(); }), noDevice);
        EXPECT_EQ(player.Position(), 0);
        EXPECT_EQ(player.Mode(), Mode::mpNotReady);
        EXPECT_EQ(player.DeviceId(), 0);
        player.SetVolume(1000);
        player.Close();
        open("tone.wav");
        player.Close();
    }
}

TEST_F(MediaPlayerTest, TheVideoWindowShowsOnlyWhenASinkDrawsIntoIt) {
    // A sink that does not draw (fakesink, or any audio file) leaves the window hidden.
    ASSERT_NE(player.VideoWindow(), nullptr);
    for (const char* file : {"tone.mp3", "clip.avi"}) {
        open(file);
        EXPECT_FALSE(player.VideoWindow()->isVisible()) << file;
    }
}

TEST_F(MediaPlayerTest, TheDeviceNotifiesWhenItStopsByItselfWithoutBeingAsked) {
    // Nothing below asks for the position or the mode until the notification has come.
    TMediaPlayer failing(nullptr, QStringLiteral("identity error-after=5 ! fakesink sync=true"),
                         QStringLiteral("fakesink"));
    struct Case {
        const char* name;
        TMediaPlayer* device;
        bool atEnd;  // the end of the track, else an error
    };
    for (const Case& c : {Case{"end", &player, true}, Case{"error", &failing, false}}) {
        SCOPED_TRACE(c.name);
        int notified = 0;
        const QMetaObject::Connection connection =
            QObject::connect(c.device, &TMediaPlayer::Notify, [&notified] { ++notified; });
        c.device->setFileName(media("tone.wav"));
        c.device->Open();
        const std::int64_t length = c.device->Length();
        c.device->PlayFrom(c.atEnd ? length - 200 : 0);
        ASSERT_TRUE(WaitFor([&] { return notified > 0; }));
        EXPECT_EQ(notified, 1);
        EXPECT_EQ(c.device->Mode(), Mode::mpStopped);
        if (c.atEnd) {
            EXPECT_EQ(c.device->Position(), length);
        } else {
            EXPECT_LT(c.device->Position(), length);
        }
        QObject::disconnect(connection);
    }

    // Commands that stop the device are not news.
    int notified = 0;
    QObject::connect(&player, &TMediaPlayer::Notify, [&notified] { ++notified; });
    open("tone.mp3");
    player.Play();
    ASSERT_TRUE(WaitFor([&] { return player.Position() > 100; }));
    player.Stop();
    player.Close();
    QCoreApplication::processEvents();
    EXPECT_EQ(notified, 0);
}

TEST_F(MediaPlayerTest, TheDefaultOutputsMakeAVideoSinkOnlyForAPicture) {
    // The X sinks are tried only where there is an X display; without one the picture of a video
    // file goes nowhere and its sound plays on.
    const QByteArray display = qgetenv("DISPLAY");
    {
        TMediaPlayer unopened(nullptr);  // ends while its audio output may still be looked for
    }
    for (const bool withDisplay : {false, true}) {
        if (withDisplay && display.isEmpty()) {
            continue;
        }
        SCOPED_TRACE(withDisplay ? "X display" : "no display");
        if (!withDisplay) {
            qunsetenv("DISPLAY");  // until the first picture has chosen its sink
        }
        TMediaPlayer own(nullptr);  // the product's default sinks
        struct Case {
            const char* file;
            bool picture;
        };
        for (const Case& c : {Case{"tone.mp3", false}, Case{"clip.avi", true},
                              Case{"tone.wav", false}, Case{"clip.mpg", true}}) {
            SCOPED_TRACE(c.file);
            own.setFileName(media(c.file));
            own.Open();
            const QString output = own.VideoOutput();
            if (!c.picture) {
                EXPECT_TRUE(output.isEmpty()) << output.toStdString();
            } else if (!withDisplay) {
                EXPECT_EQ(output, QStringLiteral("fakesink"));
            } else {
                EXPECT_TRUE(output == QLatin1String("xvimagesink") ||
                            output == QLatin1String("ximagesink") ||
                            output == QLatin1String("glimagesink") ||
                            output == QLatin1String("fakesink"))
                    << output.toStdString();
            }
            // The sound plays on to the end, on the first audio output that starts or in silence.
            own.PlayFrom(own.Length() - 200);
            EXPECT_TRUE(WaitFor([&] { return own.Mode() == Mode::mpStopped; }));
            EXPECT_EQ(own.Position(), own.Length());
        }
        if (!display.isEmpty()) {
            qputenv("DISPLAY", display);
        }
    }
}

TEST_F(MediaPlayerTest, AGivenVideoSinkIsUsedForEveryPicture) {
    for (const char* file : {"tone.mp3", "clip.avi"}) {
        open(file);
        EXPECT_EQ(player.VideoOutput().isEmpty(), QByteArray(file).endsWith(".mp3")) << file;
    }
}

}  // namespace
