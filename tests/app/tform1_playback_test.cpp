// Playback and playlist editing in the real player window, playing real files into fakesink.
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include "device/emcideviceerror.h"
#include "tests/support/playerfixture.h"
#include "tests/support/playerrow.h"
#include "tests/support/qtprinters.h"

namespace {

// The colours the window uses, as RGB.
const QColor kAqua = QColor(Qt::cyan);
const QColor kYellow = QColor(Qt::yellow);
const QColor kWhite = QColor(Qt::white);
const QColor kRed = QColor(Qt::red);
const QColor kNavy = QColor::fromRgb(0x000080);
const QColor kSilver = QColor::fromRgb(0xC0C0C0);

class PlaybackTest : public PlayerFixture {
protected:
    // A started window with the given playlist; the settings put index 0 current, loop back as
    // given, the playlist shown and the volume full.
    TForm1& StartWith(const std::vector<const char*>& media, bool loopBack = false) {
        WriteState(media, QByteArray("0\r\n") + (loopBack ? "1" : "2") + "\r\n1\r\n1000\r\n");
        TForm1& f = Start();
        EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
        return f;
    }

    static QColor TextColour(QWidget* widget, QPalette::ColorRole role = QPalette::WindowText) {
        return widget->palette().color(role);
    }

    void Drop(TForm1& f, const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls << QUrl::fromLocalFile(path);
        }
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.List2->viewport(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.List2->viewport(), &drop);
        QCoreApplication::processEvents();  // the files are handled once the drop has returned
    }

    // Presses on one line of the playlist and releases on another, as a user reorders.
    void DragLine(TForm1& f, int from, int to) {
        QWidget* view = f.List2->viewport();
        const QPoint a(10, from * 16 + 8);
        const QPoint b(10, to * 16 + 8);
        Mouse(view, QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        Mouse(view, QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
        Mouse(view, QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
    }

    static void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }

    static int Lines(const QByteArray& data) { return int(data.count("\r\n")); }
};

TEST_F(PlaybackTest, StateTableThroughPlayPauseResumeStop) {
    const QByteArray track = LongWav();
    TForm1& f = StartWith({track.constData(), "tone.wav"});
    struct Row {
        const char* mode;
        QColor colour;
        const char* play;
        const char* pause;
        const char* stop;
        bool play3, pause1, stop1;
    };
    const auto expectRow = [&](const Row& r) {
        EXPECT_EQ(TPlayerRow::Of(f),
                  (TPlayerRow{r.mode, r.play, r.pause, r.stop, r.play3, r.pause1, r.stop1}));
        EXPECT_EQ(TextColour(f.LabelMode), r.colour);
    };
    {
        SCOPED_TRACE("initial");
        expectRow({"Mode", kAqua, "play1.bmp", "pause1.bmp", "stop.bmp", false, false, false});
    }

    f.BtnPlay->click();
    {
        SCOPED_TRACE("playing");
        expectRow({"Playing", kAqua, "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false});
        EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying);
        EXPECT_TRUE(f.PositionTimer->isActive());
        EXPECT_EQ(f.PositionTimer->interval(), 250);
        EXPECT_TRUE(f.Slider2->isEnabled());
        EXPECT_EQ(f.Slider2->MaxValue(), int(f.MediaPlayer->Length()));
        EXPECT_EQ(f.ProgressBar1->maximum(), int(f.MediaPlayer->Length()));
        EXPECT_EQ(f.Labelnomer->text(), QStringLiteral("[1]"));
        EXPECT_EQ(f.labeltitle->text(), QStringLiteral("long.wav          "));
        EXPECT_EQ(f.List2->ItemIndex(), 0);
    }
    ASSERT_TRUE(WaitFor([&] { return f.Slider2->Value() > 0; }));
    EXPECT_EQ(f.ProgressBar1->value(), f.Slider2->Value());

    f.btnpause->click();
    {
        SCOPED_TRACE("paused");
        expectRow({"Paused", kYellow, "play1.bmp", "pause2.bmp", "stop.bmp", false, true, false});
        EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPaused);
        EXPECT_TRUE(f.PositionTimer->isActive()) << "the poll runs on while paused";
    }
    f.btnpause->click();  // already paused: nothing
    EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPaused);

    f.BtnPlay->click();
    {
        SCOPED_TRACE("resumed");
        expectRow({"Playing", kAqua, "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false});
        EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying);
    }
    const QString device = f.MediaPlayer->FileName();
    f.BtnPlay->click();  // playing: only the selection moves back
    EXPECT_EQ(f.MediaPlayer->FileName(), device);

    f.btnstop->click();
    {
        SCOPED_TRACE("stopped");
        expectRow({"Stoped", kWhite, "play1.bmp", "pause1.bmp", "stop1.bmp", false, false, true});
        EXPECT_FALSE(f.PositionTimer->isActive());
        EXPECT_EQ(f.Labelwaktu->text(), QStringLiteral("00:00"));
        EXPECT_FALSE(f.Slider2->isEnabled());
        EXPECT_EQ(f.Slider2->Value(), 0);
        EXPECT_EQ(f.ProgressBar1->value(), 0);
    }
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(PlaybackTest, EmptyOrUnloadedPlayerIgnoresTransport) {
    TForm1& f = StartWith({});
    for (QPushButton* button : {f.BtnPlay, f.btnpause, f.btnstop, f.btnnext, f.btnprev, f.btn[0]}) {
        button->click();
    }
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Mode"));
    EXPECT_TRUE(f.MediaPlayer->FileName().isEmpty());
    EXPECT_EQ(TextColour(f.btn[0], QPalette::ButtonText), kSilver);
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(PlaybackTest, PauseInTheLastSecondWaitsAndTheNextEntryStartsAtTheEnd) {
    TForm1& f = StartWith({"tone.mp3", "tone.wav"});
    f.BtnPlay->click();
    f.btnpause->click();
    ASSERT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPaused);

    // Drag the thumb into the last second while paused: the device stays paused there.
    f.Slider2StartTracking(f.Slider2);
    f.Slider2->SetValue(1200);
    f.Slider2StopTracking(f.Slider2);
    EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPaused);
    EXPECT_TRUE(f.PositionTimer->isActive());
    for (int tick = 0; tick < 4; ++tick) {
        f.PositionTimerTick();
    }
    EXPECT_EQ(f.Labelwaktu->text(), f.labeldurasi->text()) << "elapsed seconds reached the length";
    EXPECT_EQ(f.CurrentIndex, 0) << "a paused track isn't over";
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Paused"));
    EXPECT_GE(f.MediaPlayer->Position(), 1100);

    f.BtnPlay->click();  // resumes from the thumb
    ASSERT_TRUE(WaitFor([&] { return f.CurrentIndex == 1; }));
    EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.wav"));
    EXPECT_EQ(f.Labelnomer->text(), QStringLiteral("[2]"));
    EXPECT_EQ(f.List2->ItemIndex(), 1);
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(PlaybackTest, DragWhilePlayingPausesThenPlaysFromTheNewPlace) {
    const QByteArray track = LongWav();
    TForm1& f = StartWith({track.constData()});
    f.BtnPlay->click();
    f.Slider2StartTracking(f.Slider2);
    EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPaused);
    EXPECT_FALSE(f.PositionTimer->isActive()) << "the poll would pull the thumb back";
    f.Slider2->SetValue(700);
    EXPECT_EQ(f.Labelwaktu->text(), QStringLiteral("00:00"));
    f.Slider2StopTracking(f.Slider2);
    EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying);
    EXPECT_TRUE(f.PositionTimer->isActive());
    EXPECT_GE(f.MediaPlayer->Position(), 650);
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));
}

TEST_F(PlaybackTest, EndOfTheListWithAndWithoutLoopBack) {
    for (const bool loopBack : {true, false}) {
        SCOPED_TRACE(loopBack ? "loop back" : "no loop back");
        TForm1& f = StartWith({"tone.wav", "tone.wav"}, loopBack);
        f.btn[1]->click();
        ASSERT_EQ(f.CurrentIndex, 1);
        if (loopBack) {
            ASSERT_TRUE(WaitFor([&] { return f.CurrentIndex == 0; }));
            EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));
            EXPECT_EQ(f.Labelnomer->text(), QStringLiteral("[1]"));
            EXPECT_EQ(f.List2->ItemIndex(), 0);
        } else {
            ASSERT_TRUE(WaitFor([&] { return f.LabelMode->text() == QStringLiteral("Stoped"); }));
            EXPECT_EQ(f.CurrentIndex, 1) << "stays on the last entry";
            EXPECT_TRUE(f.Stop1->isChecked());
            EXPECT_FALSE(f.PositionTimer->isActive());
        }
        EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
        form.reset();
    }
}

TEST_F(PlaybackTest, PreviousAtTheFirstEntry) {
    for (const bool loopBack : {true, false}) {
        SCOPED_TRACE(loopBack ? "loop back" : "no loop back");
        TForm1& f = StartWith({"tone.wav", "tone.mp3", "tone.wma"}, loopBack);
        f.BtnPlay->click();
        f.btnprev->click();
        EXPECT_EQ(f.CurrentIndex, 2) << "the last entry, not the first";
        if (loopBack) {
            EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.wma"));
            EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));
            EXPECT_EQ(f.List2->ItemIndex(), 2);
        } else {
            EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Stoped"));
            EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.wav"));
        }
        form.reset();
    }
}

TEST_F(PlaybackTest, QuickPlayButtonsAndTheirColours) {
    TForm1& f = StartWith({"tone.wav", "tone.mp3", "tone.wma"});
    f.btn[5]->click();  // entry 5 doesn't exist
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Mode"));
    EXPECT_EQ(TextColour(f.btn[5], QPalette::ButtonText), kSilver);

    f.btn[2]->click();
    EXPECT_EQ(f.CurrentIndex, 2);
    EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.wma"));
    EXPECT_EQ(f.List2->ItemIndex(), 2);
    const QColor expected[] = {kNavy, kNavy, kRed, kSilver};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(TextColour(f.btn[k], QPalette::ButtonText), expected[k]) << "button " << k + 1;
    }
    f.btn[19]->click();  // ">>" is Next: past the last entry without loop back it stops
    EXPECT_EQ(f.CurrentIndex, 2);
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Stoped"));
}

TEST_F(PlaybackTest, VolumeTextsGaugeAndMarks) {
    TForm1& f = StartWith({"tone.wav"});
    struct Case {
        int value;
        const char* label;
        int gauge;
        bool max, min;
    };
    for (const Case& c :
         {Case{555, "Vol. 55", 55, false, false}, Case{0, "Min Vol.", 0, false, true},
          Case{1000, "Max Vol.", 100, true, false}, Case{9, "Vol. 0", 0, false, false}}) {
        f.Slider1->SetValue(c.value);
        EXPECT_EQ(f.Label2->text(), QString::fromUtf8(c.label)) << c.value;
        EXPECT_EQ(f.Gauge1->Progress(), c.gauge) << c.value;
        EXPECT_EQ(f.Gauge1->Text(), QStringLiteral("%1%").arg(c.gauge)) << c.value;
        EXPECT_EQ(f.VolumeMax1->isChecked(), c.max) << c.value;
        EXPECT_EQ(f.VolumeMin1->isChecked(), c.min) << c.value;
    }
}

TEST_F(PlaybackTest, TitleScrollsOneCharacterEachTick) {
    TForm1& f = StartWith({});
    f.TitleTimerTick();
    EXPECT_EQ(f.labeltitle->text(), QStringLiteral("Title          *"));
    for (int i = 0; i < 15; ++i) {
        f.TitleTimerTick();
    }
    EXPECT_EQ(f.labeltitle->text(), QStringLiteral("*Title          "));
    EXPECT_EQ(f.TitleTimer->interval(), 1000);
}

TEST_F(PlaybackTest, WhileATrackPlaysTheTitleTurnsWithThePositionTick) {
    const QByteArray track = LongWav();
    TForm1& f = StartWith({track.constData()});
    f.BtnPlay->click();
    const QString title = f.labeltitle->text();
    f.TitleTimerTick();
    EXPECT_EQ(f.labeltitle->text(), title);
    f.PositionTimerTick();
    EXPECT_EQ(f.labeltitle->text(), title.mid(1) + title.left(1));
}

TEST_F(PlaybackTest, MinimisedWindowCatchesUpWhenShownAgainOrPaused) {
    const QByteArray track = LongWav();
    TForm1& f = StartWith({track.constData()});
    f.BtnPlay->click();
    f.btnpause->click();
    f.Slider2StartTracking(f.Slider2);
    f.Slider2->SetValue(1200);
    f.Slider2StopTracking(f.Slider2);  // the paused device moves there
    f.Slider2->SetValue(0);
    const QString title = f.labeltitle->text();

    f.showMinimized();
    for (int tick = 0; tick < 3; ++tick) {
        f.PositionTimerTick();
        f.TitleTimerTick();
    }
    EXPECT_EQ(f.Slider2->Value(), 0) << "nothing is drawn while minimised";
    EXPECT_EQ(f.labeltitle->text(), title);
    f.showNormal();
    EXPECT_EQ(f.Slider2->Value(), f.MediaPlayer->Position());
    EXPECT_EQ(f.Labelwaktu->text(), QStringLiteral("00:01"));
    EXPECT_EQ(f.labeltitle->text(), title.mid(3) + title.left(3));

    // A pause while minimised leaves the slider where the device stopped: the resume starts there.
    f.showMinimized();
    f.BtnPlay->click();
    ASSERT_TRUE(WaitFor([&] { return f.MediaPlayer->Position() >= 1400; }));
    f.PositionTimerTick();
    f.btnpause->click();
    EXPECT_EQ(f.Slider2->Value(), f.MediaPlayer->Position());
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(PlaybackTest, AddingWhilePlayingDoesNotInterrupt) {
    const QByteArray track = LongWav();
    TForm1& f = StartWith({track.constData()});
    f.BtnPlay->click();
    QTimer::singleShot(0, &f, [&] {
        f.OpenDialog->selectFile(MediaFile("tone.wma"));
        static_cast<QDialog*>(f.OpenDialog)->accept();  // the dialog's own check of the name runs
    });
    f.BitBtn2->click();
    ASSERT_EQ(f.List2->Count(), 2);
    EXPECT_EQ(f.list1->Strings(1), MediaFile("tone.wma"));
    EXPECT_EQ(f.List2->Strings(1), QStringLiteral("tone.wma"));
    EXPECT_EQ(f.MediaPlayer->FileName(), QString::fromUtf8(track));
    EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying);
    EXPECT_EQ(TextColour(f.btn[1], QPalette::ButtonText), kNavy);

    // A cancelled dialog adds nothing.
    QTimer::singleShot(0, &f, [&] { f.OpenDialog->reject(); });
    f.BitBtn1->click();
    EXPECT_EQ(f.List2->Count(), 2);
}

TEST_F(PlaybackTest, OpenDialogShowsItsFilterTextOnceAndStillFilters) {
    TForm1& f = StartWith({});
    Write(QStringLiteral("song.mp3"), "x");
    Write(QStringLiteral("notes.txt"), "x");
    QFileDialog& dialog = f.FileOpenDialog();
    const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 1);
    EXPECT_EQ(types->itemText(0),
              QStringLiteral(
                  "Korvi File multimedia (*.wav, *.mid,*.wmv,*.wma, *.mp3, *.mpg, *.mpeg, *.avi)"));

    dialog.setDirectory(dir.path());
    const auto* files = dialog.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(files, nullptr);
    const auto listed = [files] {
        QStringList names;
        for (int row = 0; row < files->model()->rowCount(files->rootIndex()); ++row) {
            names << files->model()->index(row, 0, files->rootIndex()).data().toString();
        }
        return names;
    };
    ASSERT_TRUE(WaitFor([&] { return listed().contains(QStringLiteral("song.mp3")); }));
    EXPECT_FALSE(listed().contains(QStringLiteral("notes.txt")));
}

TEST_F(PlaybackTest, TrackOfLengthZeroKeepsTheBarStill) {
    // A WAV header whose data chunk is empty.
    QByteArray wav("RIFF");
    wav += QByteArray("\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00", 20);
    wav += QByteArray(
        "\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00"
        "data\x00\x00\x00\x00",
        20);
    Write(QStringLiteral("empty.wav"), wav);
    const QByteArray path = Path(QStringLiteral("empty.wav")).toUtf8();
    TForm1& f = StartWith({path.constData()});
    f.BtnPlay->click();
    EXPECT_EQ(f.MediaPlayer->Length(), 0);
    EXPECT_LT(f.ProgressBar1->minimum(), f.ProgressBar1->maximum()) << "0..0 is a busy bar";
    f.btnstop->click();
    EXPECT_LT(f.ProgressBar1->minimum(), f.ProgressBar1->maximum());
    EXPECT_EQ(f.ProgressBar1->value(), 0);
}

TEST_F(PlaybackTest, DeviceErrorInATrackIsShownAndEndsTheTrack) {
    // The sound output fails a few buffers into every track.
    const QByteArray first = LongWav();
    QFile::copy(QString::fromUtf8(first), Path(QStringLiteral("second.wav")));
    const QByteArray second = Path(QStringLiteral("second.wav")).toUtf8();
    WriteState({first.constData(), second.constData()}, "0\r\n2\r\n1\r\n1000\r\n");
    TForm1& f = Start(QStringLiteral("identity error-after=5 ! fakesink sync=true"));
    ASSERT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
    f.BtnPlay->click();
    // The first track ends at its error and the second starts; that one ends the list.
    ASSERT_TRUE(WaitFor([&] { return shown.size() == 2; }));
    for (const auto& message : shown) {
        EXPECT_EQ(message.icon, QMessageBox::Critical);
        EXPECT_FALSE(message.text.isEmpty());
    }
    EXPECT_EQ(f.CurrentIndex, 1);
    EXPECT_EQ(f.MediaPlayer->FileName(), QString::fromUtf8(second));
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Stoped"));
    EXPECT_FALSE(f.PositionTimer->isActive());
}

TEST_F(PlaybackTest, DroppingFourFilesOnAFreshPlayerPlaysTheFirst) {
    TForm1& f = StartWith({});
    Drop(f, {MediaFile("tone.wav"), MediaFile("tone.mp3"), MediaFile("tone.wma"),
             MediaFile("clip.avi")});
    ASSERT_EQ(f.List2->Count(), 4);
    ASSERT_EQ(f.list1->Count(), 4);
    EXPECT_EQ(f.List2->Lines(),
              (QStringList{QStringLiteral("tone.wav"), QStringLiteral("tone.mp3"),
                           QStringLiteral("tone.wma"), QStringLiteral("clip.avi")}));
    EXPECT_EQ(f.list1->Strings(3), MediaFile("clip.avi"));
    EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.wav"));
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));
    EXPECT_EQ(TextColour(f.btn[3], QPalette::ButtonText), kNavy);
    EXPECT_EQ(TextColour(f.btn[0], QPalette::ButtonText), kRed);
}

TEST_F(PlaybackTest, DeleteAboveTheCurrentEntryAndByKey) {
    TForm1& f = StartWith({"tone.wav", "tone.mp3", "tone.wma", "clip.avi"});
    f.btn[2]->click();
    f.List2->SetItemIndex(0);
    f.BitBtn3->click();
    EXPECT_EQ(f.CurrentIndex, 2) << "unchanged: now names the entry that moved up";
    EXPECT_EQ(f.List2->Lines(), (QStringList{QStringLiteral("tone.mp3"), QStringLiteral("tone.wma"),
                                             QStringLiteral("clip.avi")}));
    EXPECT_EQ(f.list1->Count(), 3);
    EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.wma")) << "playback untouched";

    f.List2->SetItemIndex(2);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(f.List2, &del);
    EXPECT_EQ(f.List2->Count(), 2);
    EXPECT_EQ(f.list1->Lines(), (QStringList{MediaFile("tone.mp3"), MediaFile("tone.wma")}));
    EXPECT_EQ(f.CurrentIndex, 1) << "no entry moved into its place: the last one, not past it";

    f.List2->SetItemIndex(-1);
    f.BitBtn3->click();  // no selection: nothing
    EXPECT_EQ(f.List2->Count(), 2);
}

TEST_F(PlaybackTest, ClearDuringPlaybackPlaysOnThenStopsWithoutError) {
    for (const bool loopBack : {false, true}) {
        SCOPED_TRACE(loopBack ? "loop back" : "no loop back");
        shown.clear();
        TForm1& f = StartWith({"tone.wav", "tone.mp3"}, loopBack);
        f.BtnPlay->click();
        f.btn[1]->click();
        f.BitBtn4->click();
        EXPECT_EQ(f.List2->Count(), 0);
        EXPECT_EQ(f.list1->Count(), 0);
        EXPECT_EQ(f.CurrentIndex, 0);
        EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying);
        ASSERT_TRUE(WaitFor([&] { return f.LabelMode->text() == QStringLiteral("Stoped"); }));
        EXPECT_FALSE(f.PositionTimer->isActive());
        EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
        form.reset();
    }
}

TEST_F(PlaybackTest, ReorderingFollowsTheCurrentEntry) {
    struct Case {
        const char* name;
        int from, to;
    };
    for (const Case& c : {Case{"playing entry to place 5", 1, 4}, Case{"entry 5 onto it", 4, 1}}) {
        SCOPED_TRACE(c.name);
        TForm1& f = StartWith({"tone.wav", "tone.mp3", "tone.wma", "clip.avi", "tune.mid"});
        f.btn[1]->click();
        ASSERT_EQ(f.Labelnomer->text(), QStringLiteral("[2]"));
        DragLine(f, c.from, c.to);
        EXPECT_EQ(f.DragFromIndex, c.from);
        EXPECT_EQ(f.DragToIndex, c.to);
        EXPECT_EQ(f.CurrentIndex, 4);
        EXPECT_EQ(f.Labelnomer->text(), QStringLiteral("[5]"));
        EXPECT_EQ(f.List2->Strings(4), QStringLiteral("tone.mp3"));
        EXPECT_EQ(f.List2->Strings(1), QStringLiteral("tune.mid"));
        EXPECT_EQ(f.list1->Strings(1), MediaFile("tune.mid"));
        EXPECT_EQ(f.List2->Strings(2), QStringLiteral("tone.wma")) << "nothing between moves";
        EXPECT_EQ(f.List2->ItemIndex(), c.to);
        EXPECT_EQ(TextColour(f.btn[4], QPalette::ButtonText), kRed);
        form.reset();
    }
}

TEST_F(PlaybackTest, DoubleClickPlaysTheSelectedEntry) {
    TForm1& f = StartWith({"tone.wav", "tone.mp3"});
    f.List2->SetItemIndex(1);
    f.List2DblClick(f.List2);
    EXPECT_EQ(f.CurrentIndex, 1);
    EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.mp3"));
    EXPECT_EQ(f.list1->ItemIndex(), 1);
}

TEST_F(PlaybackTest, UnplayableEntryReportsAndThePollReadsZero) {
    TForm1& f = StartWith({"tone.wav", "unplayable.mp3"});
    f.BtnPlay->click();
    f.btn[1]->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(f.Labelnomer->text(), QStringLiteral("[2]"));
    EXPECT_EQ(f.labeltitle->text(), QStringLiteral("tone.wav          ")) << "left as it was";
    f.PositionTimerTick();
    EXPECT_EQ(f.Slider2->Value(), 0);
    EXPECT_EQ(shown.size(), 1u) << "no error at every tick";
    // Grabbing the thumb with no device open reports it; the release then does nothing.
    try {
        f.Slider2StartTracking(f.Slider2);
        ADD_FAILURE() << "no error";
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("No MCI device open"));
    }
    EXPECT_NO_THROW(f.Slider2StopTracking(f.Slider2));
}

TEST_F(PlaybackTest, ShowHideWidthsAndSavedListsStayParallel) {
    TForm1& f = StartWith({"tone.wav", "tone.mp3", "tone.wma"});
    f.CheckBox2->setChecked(false);
    EXPECT_EQ(f.ClientWidth(), 385);
    f.CheckBox2->setChecked(true);
    EXPECT_EQ(f.ClientWidth(), 697);

    f.List2->SetItemIndex(1);
    f.BitBtn3->click();
    Drop(f, {MediaFile("clip.avi"), MediaFile("tune.mid")});
    DragLine(f, 0, 3);
    ASSERT_TRUE(f.close());
    const QByteArray paths = Read(QStringLiteral("PlayList.Txt"));
    const QByteArray names = Read(QStringLiteral("KorviList.Txt"));
    EXPECT_EQ(Lines(paths), 4);
    EXPECT_EQ(Lines(names), 4);
    const QList<QByteArray> pathLines = paths.split('\n');
    const QList<QByteArray> nameLines = names.split('\n');
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(pathLines[i].trimmed().endsWith(nameLines[i].trimmed())) << i;
    }
}

}  // namespace
