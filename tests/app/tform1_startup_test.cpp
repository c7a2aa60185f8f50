// Start-up, restore and close of the player window against a temporary program folder.
#include "tests/support/playerfixture.h"
#include "tests/support/qtprinters.h"

#include "platform/tinifile.h"

#include <sys/stat.h>

namespace {

using StartupTest = PlayerFixture;

TEST_F(StartupTest, FirstStartWithoutFilesShowsOneErrorThenSavesEverything) {
    TForm1& f = Start();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Tovra III [Velmo History]"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(shown[0].text, QStringLiteral("Cannot open file \"%1\". No such file or directory.")
                                 .arg(Path(QStringLiteral("PlayList.Txt"))));

    // INI defaults, and the designed state wherever the restore didn't get to.
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Tovra III [Velmo History]"));
    EXPECT_EQ(f.pos(), QPoint(100, 100));
    EXPECT_EQ(f.ClientWidth(), 697);
    EXPECT_EQ(f.ClientHeight(), 322);
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Mode"));
    EXPECT_EQ(f.BtnPlay->property("GlyphFile").toString(),
              Path(QStringLiteral("Tombol/play1.bmp")));
    EXPECT_TRUE(f.MediaPlayer->FileName().isEmpty());
    EXPECT_TRUE(f.TitleTimer->isActive());
    EXPECT_FALSE(f.PositionTimer->isActive());

    EXPECT_TRUE(f.close());
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(Read(f.IniFileName().mid(dir.path().size() + 1)),
              QByteArray("[Form]\r\nTop=100\r\nLeft=100\r\nCaption=Tovra III [Velmo History]\r\n"));
    EXPECT_EQ(Read(QStringLiteral("PlayList.Txt")), QByteArray());
    EXPECT_EQ(Read(QStringLiteral("KorviList.Txt")), QByteArray());
    EXPECT_EQ(Read(QStringLiteral("KorviSetting.Korvi")), QByteArray("0\r\n2\r\n2\r\n1000\r\n"));

    // The second start finds its files and shows nothing.
    form.reset();
    shown.clear();
    TForm1& again = Start();
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(again.ClientWidth(), 375);
}

TEST_F(StartupTest, StateRoundTrip) {
    WriteState({"tone.wav", "tone.mp3"}, "1\r\n1\r\n1\r\n555\r\n");
    TIniFile ini(Create().IniFileName());
    form.reset();
    ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Top"), 150);
    ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Left"), 120);
    ini.WriteString(QStringLiteral("Form"), QStringLiteral("Caption"), QStringLiteral("My player"));
    const QByteArray iniBefore = Read(ini.FileName().mid(dir.path().size() + 1));

    TForm1& f = Start();
    ASSERT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("My player"));
    EXPECT_EQ(f.pos(), QPoint(120, 150));
    EXPECT_EQ(f.CurrentIndex, 1);
    EXPECT_EQ(f.List2->Count(), 2);
    EXPECT_EQ(f.list1->Count(), 2);
    EXPECT_EQ(f.Labelnomer->text(), QStringLiteral("[2]"));
    EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile("tone.mp3"));
    EXPECT_NE(f.MediaPlayer->DeviceId(), 0);
    EXPECT_EQ(f.labeldurasi->text(), TForm1::FormatTime(f.MediaPlayer->Length()));
    EXPECT_EQ(f.labeltitle->text(), QStringLiteral("tone.mp3          "));
    // Opened, not played.
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Mode"));
    EXPECT_FALSE(f.Slider2->isEnabled());
    EXPECT_FALSE(f.PositionTimer->isActive());
    EXPECT_NE(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying);
    EXPECT_EQ(f.btn[1]->palette().color(QPalette::ButtonText), QColor(0xFF, 0, 0));
    EXPECT_EQ(f.btn[0]->palette().color(QPalette::ButtonText), QColor(0, 0, 0x80));
    EXPECT_EQ(f.btn[2]->palette().color(QPalette::ButtonText), QColor(0xC0, 0xC0, 0xC0));

    EXPECT_TRUE(f.Checkbox1->isChecked());
    EXPECT_TRUE(f.CheckBox2->isChecked());
    EXPECT_EQ(f.ClientWidth(), 697);
    EXPECT_TRUE(f.ShowPlaylist1->isChecked());
    EXPECT_FALSE(f.HidePlaylist1->isChecked());
    EXPECT_EQ(f.Slider1->Value(), 555);
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Vol. 55"));
    EXPECT_EQ(f.Gauge1->Progress(), 55);

    const QByteArray paths = Read(QStringLiteral("PlayList.Txt"));
    const QByteArray names = Read(QStringLiteral("KorviList.Txt"));
    EXPECT_TRUE(f.close());
    EXPECT_EQ(Read(QStringLiteral("PlayList.Txt")), paths);
    EXPECT_EQ(Read(QStringLiteral("KorviList.Txt")), names);
    EXPECT_EQ(Read(QStringLiteral("KorviSetting.Korvi")), QByteArray("1\r\n1\r\n1\r\n555\r\n"));
    EXPECT_EQ(Read(ini.FileName().mid(dir.path().size() + 1)), iniBefore);
}

TEST_F(StartupTest, BadSettingsStopTheRestoreWhereTheyAre) {
    struct Case {
        const char* name;
        std::vector<const char*> media;
        QByteArray settings;
        const char* message;
        bool loopBack;       // line 2 was applied
        bool playlistShown;  // line 3 was applied as "1" (unchecked in the design)
        int volume;          // line 4 was applied
        int current;
    };
    // An index past either end of the list (one shortened since) is no failure: it restores as
    // the nearest entry and the other settings follow.
    const Case cases[] = {
        {"two lines",
         {"tone.wav"},
         "0\r\n1\r\n",
         "List index out of bounds (2)",
         true,
         false,
         1000,
         0},
        {"empty, no playlist", {}, "", "List index out of bounds (1)", false, false, 1000, 0},
        {"index not a number",
         {"tone.wav"},
         "x\r\n1\r\n1\r\n5\r\n",
         "'x' is not a valid integer value.",
         false,
         false,
         1000,
         0},
        {"volume not a number",
         {"tone.wav"},
         "0\r\n1\r\n2\r\n55 \r\n",
         "'55 ' is not a valid integer value.",
         true,
         false,
         1000,
         0},
        {"lone CR line ends", {"tone.wav"}, "0\r1\r2\r200\r", nullptr, true, false, 200, 0},
        {"index past the end",
         {"tone.wav", "tone.mp3"},
         "2\r\n1\r\n1\r\n300\r\n",
         nullptr,
         true,
         true,
         300,
         1},
        {"index below 0",
         {"tone.wav", "tone.mp3"},
         "-4\r\n1\r\n1\r\n300\r\n",
         nullptr,
         true,
         true,
         300,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shown.clear();
        WriteState(c.media, c.settings);
        TForm1& f = Start();
        if (c.message) {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message));
        } else {
            EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
        }
        EXPECT_EQ(f.Checkbox1->isChecked(), c.loopBack);
        EXPECT_EQ(f.CheckBox2->isChecked(), c.playlistShown);
        EXPECT_EQ(f.Slider1->Value(), c.volume);
        EXPECT_EQ(f.CurrentIndex, c.current);
        form.reset();
    }
}

TEST_F(StartupTest, HiddenPlaylistRestoresTo375AndTogglesTo385) {
    WriteState({}, "0\r\n2\r\n2\r\n1000\r\n");
    TForm1& f = Start();
    ASSERT_TRUE(shown.empty());
    EXPECT_EQ(f.ClientWidth(), 375);
    EXPECT_LE(f.Panel5->geometry().right(), f.ClientWidth() - 1)
        << "the panel fits, border and all";
    EXPECT_EQ(f.Panel5->size(), QSize(374, 310));
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.ShowPlaylist1->isChecked());
    EXPECT_FALSE(f.HidePlaylist1->isChecked());
    // An empty playlist leaves the device unopened and the index at 0.
    EXPECT_EQ(f.CurrentIndex, 0);
    EXPECT_TRUE(f.MediaPlayer->FileName().isEmpty());
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Max Vol."));
    EXPECT_FALSE(f.VolumeMax1->isChecked()) << "1000 at start changes nothing";

    f.CheckBox2->setChecked(true);
    EXPECT_EQ(f.ClientWidth(), 697);
    EXPECT_TRUE(f.ShowPlaylist1->isChecked());
    f.CheckBox2->setChecked(false);
    EXPECT_EQ(f.ClientWidth(), 385);
    EXPECT_EQ(f.width(), 385) << "the menu bar doesn't hold the window wider";
    EXPECT_TRUE(f.HidePlaylist1->isChecked());
    EXPECT_FALSE(f.ShowPlaylist1->isChecked());
}

TEST_F(StartupTest, SliderThumbsAreWholeAndOnlyChangeColourWhenPressed) {
    TForm1& f = Start();
    struct Case {
        const char* name;
        TSlider* slider;
        QSize size;
    };
    for (const Case& c :
         {Case{"position", f.Slider2, {9, 9}}, Case{"volume", f.Slider1, {7, 11}}}) {
        SCOPED_TRACE(c.name);
        TSliderThumb* thumb = c.slider->Thumb();
        EXPECT_EQ(thumb->size(), c.size);
        // Normal on the left, pressed on the right: the same shape in other colours.
        const QImage states = thumb->Bitmap().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(states.size(), QSize(2 * c.size.width(), c.size.height()));
        const QRgb olive = thumb->TransparentColor().rgb();
        int recoloured = 0;
        for (int y = 0; y < states.height(); ++y) {
            for (int x = 0; x < c.size.width(); ++x) {
                const QRgb normal = states.pixel(x, y);
                const QRgb pressed = states.pixel(x + c.size.width(), y);
                EXPECT_EQ(normal == olive, pressed == olive) << x << "," << y;
                recoloured += normal != pressed ? 1 : 0;
            }
        }
        EXPECT_GT(recoloured, 0);
        const QImage up = thumb->grab().toImage();
        thumb->SetDown(true);
        EXPECT_NE(thumb->grab().toImage(), up);
        thumb->SetDown(false);
    }
}

TEST_F(StartupTest, MissingGlyphAndUnopenableEntryEndTheRestore) {
    struct Case {
        const char* name;
        const char* media;
        const char* removeGlyph;
        QString message;
    };
    const Case cases[] = {
        {"glyph", "tone.wav", "Tombol/play1.bmp",
         QStringLiteral("Cannot open file \"%1\". No such file or directory.")
             .arg(Path(QStringLiteral("Tombol/play1.bmp")))},
        {"unplayable entry", "unplayable.mp3", nullptr, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shown.clear();
        WriteState({c.media}, "0\r\n1\r\n2\r\n300\r\n");
        if (c.removeGlyph) {
            ASSERT_TRUE(QFile::remove(Path(QString::fromUtf8(c.removeGlyph))));
        }
        TForm1& f = Start();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(shown[0].text, c.message);
        }
        // Nothing after the failure was applied.
        EXPECT_FALSE(f.Checkbox1->isChecked());
        EXPECT_EQ(f.Slider1->Value(), 1000);
        EXPECT_EQ(f.labeltitle->text(), QStringLiteral("*Title          "));
        form.reset();
        if (c.removeGlyph) {
            ASSERT_TRUE(QFile::copy(
                QStringLiteral(TOVRA_SOURCE_DIR "/assets/") + QString::fromUtf8(c.removeGlyph),
                Path(QString::fromUtf8(c.removeGlyph))));
        }
    }
}

// The warm-up behind the splash is best effort: whatever the saved entry is, it shows nothing,
// writes nothing and returns (a pipe would block an open), and the show then opens as ever.
TEST_F(StartupTest, WarmingUpTheSavedEntryShowsAndChangesNothing) {
    const QString fifo = Path(QStringLiteral("pipe.mp3"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray fifoName = fifo.toUtf8();
    struct Case {
        const char* media;
        const char* settings;
        bool opened;
    };
    const Case cases[] = {
        {"tone.mp3", "0\r\n1\r\n2\r\n300\r\n", true},
        {"unplayable.mp3", "0\r\n1\r\n2\r\n300\r\n", false},
        {"/nowhere/gone.mp3", "0\r\n1\r\n2\r\n300\r\n", false},
        {fifoName.constData(), "0\r\n1\r\n2\r\n300\r\n", false},
        {"tone.mp3", "x\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.media);
        shown.clear();
        WriteState({c.media}, c.settings);
        TForm1& f = Create();
        f.WarmUpCurrentEntry();
        EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(Read(QStringLiteral("KorviSetting.Korvi")), QByteArray(c.settings));
        EXPECT_TRUE(f.MediaPlayer->FileName().isEmpty());
        if (c.opened) {
            f.show();
            EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(f.MediaPlayer->FileName(), MediaFile(c.media));
        }
        form.reset();
    }
}

TEST_F(StartupTest, CloseThatCannotWriteKeepsTheWindowOpen) {
    WriteState({"tone.wav"}, "0\r\n2\r\n1\r\n1000\r\n");
    TForm1& f = Start();
    ASSERT_TRUE(shown.empty());
    // A folder where the INI file should be: no user can write it.
    ASSERT_TRUE(QDir().mkdir(f.IniFileName()));
    Write(QStringLiteral("KorviSetting.Korvi"), "untouched");

    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              QStringLiteral("Unable to write to ") + f.IniFileName() + QLatin1Char('.'));
    EXPECT_EQ(Read(QStringLiteral("KorviSetting.Korvi")), QByteArray("untouched"));

    // Once the way is clear the close completes.
    ASSERT_TRUE(QDir().rmdir(f.IniFileName()));
    EXPECT_TRUE(f.close());
    EXPECT_EQ(Read(QStringLiteral("KorviSetting.Korvi")), QByteArray("0\r\n2\r\n1\r\n1000\r\n"));
}

TEST_F(StartupTest, TimeTextAndDisplayName) {
    struct Case {
        std::int64_t ms;
        const char* text;
    };
    for (const Case& c : {Case{0, "00:00"}, Case{999, "00:00"}, Case{205700, "03:25"},
                          Case{5999999, "99:59"}, Case{6000000, "100:00"}}) {
        EXPECT_EQ(TForm1::FormatTime(c.ms), QString::fromUtf8(c.text)) << c.ms;
    }
    EXPECT_EQ(TForm1::DisplayName(QStringLiteral("/music/a:b\\c.mp3")),
              QStringLiteral("a:b\\c.mp3"));
    EXPECT_EQ(TForm1::DisplayName(QStringLiteral("plain.wav")), QStringLiteral("plain.wav"));
}

}  // namespace
