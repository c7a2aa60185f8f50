// The player window's menus and the windows they open, driven on the real window: keys go through
// the window system's path (shortcuts first, then the focused control), dialogs are closed from
// inside their own event loops.
#include <algorithm>

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWindow>

#include "infobox/tform2.h"
#include "sysinfo/tform6.h"
#include "tests/support/playerfixture.h"
#include "tests/support/qtprinters.h"
#include "windows/tform3.h"
#include "windows/tform7.h"

// What the window system hands Qt for a key: the shortcut map is tried before the focused widget.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key,
                                    Qt::KeyboardModifiers modifiers, const QString& text,
                                    bool autorep, ushort count);

namespace {

class MenuTest : public PlayerFixture {
protected:
    // A started window with the given playlist (index 0 current, playlist shown, volume full).
    TForm1& StartWith(const std::vector<const char*>& media) {
        WriteState(media, "0\r\n2\r\n1\r\n1000\r\n");
        TForm1& f = Start();
        f.activateWindow();
        EXPECT_TRUE(WaitFor([&f] { return QApplication::activeWindow() == &f; }));
        EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
        return f;
    }

    // A key pressed and released in a window while `focus` has the keyboard.
    static void Press(QWidget* focus, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        focus->setFocus();
        QWindow* window = focus->window()->windowHandle();
        const QString text =
            modifiers == Qt::NoModifier ? QKeySequence(key).toString().toLower() : QString();
        qt_handleKeyEvent(window, QEvent::KeyPress, key, modifiers, text, false, 1);
        qt_handleKeyEvent(window, QEvent::KeyRelease, key, modifiers, text, false, 1);
    }

    // Runs `command`, which opens a modal window; `inside` runs in that window's event loop and
    // gets the modal window, which is closed afterwards.
    static void WhileModal(const std::function<void()>& command,
                           const std::function<void(QWidget*)>& inside) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ran = true;
            inside(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        command();
        EXPECT_TRUE(ran);
    }

    static QStringList Captions(const QList<QAction*>& actions) {
        QStringList captions;
        for (const QAction* action : actions) {
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return captions;
    }

    static QStringList Lines(const QListWidget* list) {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) {
            lines << list->item(i)->text();
        }
        return lines;
    }

    // A long silent track under a name that begins with "S", beside a second long one.
    std::vector<QByteArray> TwoLongTracks() {
        const QByteArray first = LongWav();
        QFile::copy(QString::fromUtf8(first), Path(QStringLiteral("Silence.wav")));
        return {first, Path(QStringLiteral("Silence.wav")).toUtf8()};
    }
};

TEST_F(MenuTest, EveryItemInOrderWithCaptionsShortcutsAndPictures) {
    TForm1& f = Create();
    EXPECT_EQ(
        Captions(f.MainMenu1->actions()),
        QStringList({QStringLiteral("  File"), QStringLiteral("Play"), QStringLiteral("View"),
                     QStringLiteral("About"), QStringLiteral("||"), QStringLiteral("Bonus")}));
    EXPECT_FALSE(f.N2->isEnabled());
    EXPECT_EQ(f.N2->menu(), nullptr);

    const struct {
        QMenu* menu;
        std::vector<const char*> captions;
    } menus[] = {
        {f.File1, {"Open File Multimedia", "Exit"}},
        {f.Play2,
         {"Play", "Pause", "Stop", "Next", "Prev", "-", "Jump To", "-", "Volume Max",
          "Volume Mute"}},
        {f.JumpTo1, {"Start of List", "End of List"}},
        {f.View1, {"Show Playlist", "Hide Playlist", "-", "Stop Scrolling Title"}},
        {f.About1, {"About Tovra III [Velmo History]", "-", "Readme File"}},
        {f.Bonus1, {"Sound Card Detections", "VGA Card Detections", "-", "Your Windows Info"}},
        {f.PopupMenu1, {"Info Box", "-", "Tambah File", "Mainkan", "Hapus"}},
    };
    for (const auto& m : menus) {
        QStringList expected;
        for (const char* caption : m.captions) {
            expected << QString::fromUtf8(caption);
        }
        EXPECT_EQ(Captions(m.menu->actions()), expected) << m.menu->title().toStdString();
    }

    const struct {
        QAction* item;
        QKeySequence shortcut;
    } shortcuts[] = {{f.Exit1, QKeySequence(Qt::CTRL | Qt::Key_X)},
                     {f.Play3, QKeySequence(Qt::Key_P)},
                     {f.Pause1, QKeySequence(Qt::Key_E)},
                     {f.Stop1, QKeySequence(Qt::Key_S)}};
    for (const auto& s : shortcuts) {
        EXPECT_EQ(s.item->shortcut(), s.shortcut) << s.item->text().toStdString();
        EXPECT_EQ(s.item->shortcutContext(), Qt::WindowShortcut);
    }
    QList<QAction*> items = f.MainMenu1->actions();
    for (const auto& m : menus) {
        items += m.menu->actions();
    }
    int withShortcut = 0;
    for (const QAction* item : items) {
        withShortcut += item->shortcut().isEmpty() ? 0 : 1;
        // Marks are set by the program only, and none is set before the window shows.
        EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
    }
    EXPECT_EQ(withShortcut, 4);

    for (QAction* item :
         {f.OpenFile1, f.About2, f.ReadmeFile1, f.InfoBox1, f.Add1, f.Play1, f.Delete1}) {
        EXPECT_FALSE(item->icon().isNull()) << item->text().toStdString();
    }
}

TEST_F(MenuTest, MarkItemsShowNothingUntilChecked) {
    TForm1& f = StartWith({});
    for (QMenu* menu : f.findChildren<QMenu*>()) {
        const QList<QAction*> items = menu->actions();
        if (std::any_of(items.begin(), items.end(), [](QAction* a) { return a->isCheckable(); })) {
            EXPECT_EQ(menu->style(), f.View1->style()) << menu->title().toStdString();
        }
    }
    // Items of one caption in a menu of that style: an unchecked mark item looks like a plain
    // one, a checked one doesn't. The first and last items touch the menu's frame.
    QMenu menu;
    menu.setStyle(f.View1->style());
    menu.addAction(QStringLiteral("-"));
    QAction* unchecked = menu.addAction(QStringLiteral("Show Playlist"));
    unchecked->setCheckable(true);
    QAction* plain = menu.addAction(QStringLiteral("Show Playlist"));
    QAction* checked = menu.addAction(QStringLiteral("Show Playlist"));
    checked->setCheckable(true);
    checked->setChecked(true);
    menu.addAction(QStringLiteral("-"));
    menu.adjustSize();
    const QImage picture = menu.grab().toImage();
    const auto item = [&](QAction* action) {
        return picture.copy(menu.actionGeometry(action).adjusted(2, 0, -2, 0));
    };

    EXPECT_EQ(item(unchecked), item(plain));
    EXPECT_NE(item(checked), item(plain));
}

TEST_F(MenuTest, PlainLetterShortcutsActFromThePlaylist) {
    const auto tracks = TwoLongTracks();
    TForm1& f = StartWith({tracks[0].constData(), tracks[1].constData()});
    f.List2->SetItemIndex(0);

    const struct {
        int key;
        const char* mode;
        bool play, pause, stop;
    } steps[] = {{Qt::Key_P, "Playing", true, false, false},
                 {Qt::Key_E, "Paused", false, true, false},
                 {Qt::Key_P, "Playing", true, false, false},
                 {Qt::Key_S, "Stoped", false, false, true}};
    for (const auto& s : steps) {
        Press(f.List2, s.key);
        EXPECT_EQ(f.LabelMode->text(), QString::fromUtf8(s.mode)) << s.key;
        EXPECT_EQ(f.Play3->isChecked(), s.play) << s.key;
        EXPECT_EQ(f.Pause1->isChecked(), s.pause) << s.key;
        EXPECT_EQ(f.Stop1->isChecked(), s.stop) << s.key;
        // The letters never reach the list's search: "S" doesn't select "Silence.wav".
        EXPECT_EQ(f.List2->ItemIndex(), 0) << s.key;
    }
    EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpStopped);
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(MenuTest, ShortcutsDoNotReachThePlayerUnderAModalWindow) {
    const auto tracks = TwoLongTracks();
    TForm1& f = StartWith({tracks[0].constData(), tracks[1].constData()});
    f.Play3->trigger();
    ASSERT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));

    WhileModal([&f] { f.About2->trigger(); },
               [&f](QWidget* modal) {
                   EXPECT_EQ(modal, f.Form3);
                   Press(modal, Qt::Key_S);
                   qt_handleKeyEvent(f.windowHandle(), QEvent::KeyPress, Qt::Key_S, Qt::NoModifier,
                                     QStringLiteral("s"), false, 1);
                   Press(modal, Qt::Key_X, Qt::ControlModifier);
               });
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));
    EXPECT_TRUE(f.isVisible());
}

TEST_F(MenuTest, CtrlXClosesTheWindowAndSavesTheState) {
    const auto tracks = TwoLongTracks();
    TForm1& f = StartWith({tracks[0].constData(), tracks[1].constData()});
    bool closed = false;
    QObject::connect(&f, &TForm1::FormClosed, [&closed] { closed = true; });
    f.EndofList1->trigger();
    f.VolumeMin1->trigger();
    f.HidePlaylist1->trigger();

    Press(f.List2, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(Read(QStringLiteral("KorviSetting.Korvi")), QByteArray("1\r\n2\r\n2\r\n0\r\n"));
    EXPECT_EQ(Read(QStringLiteral("KorviList.Txt")), QByteArray("long.wav\r\nSilence.wav\r\n"));
}

TEST_F(MenuTest, JumpToStartAndEnd) {
    // An empty playlist: nothing happens, nothing is said.
    TForm1& empty = StartWith({});
    empty.EndofList1->trigger();
    empty.StartofList1->trigger();
    EXPECT_EQ(empty.CurrentIndex, 0);
    EXPECT_EQ(empty.LabelMode->text(), QStringLiteral("Mode"));
    EXPECT_TRUE(empty.MediaPlayer->FileName().isEmpty());
    EXPECT_TRUE(shown.empty());
    form.reset();

    const auto tracks = TwoLongTracks();
    TForm1& f = StartWith({"tone.wav", tracks[0].constData(), tracks[1].constData()});
    const struct {
        QAction* item;
        int index;
    } jumps[] = {{f.EndofList1, 2}, {f.StartofList1, 0}};
    for (const auto& j : jumps) {
        j.item->trigger();
        EXPECT_EQ(f.CurrentIndex, j.index);
        EXPECT_EQ(f.List2->ItemIndex(), j.index);
        EXPECT_EQ(f.list1->ItemIndex(), j.index);
        EXPECT_EQ(f.Labelnomer->text(), QStringLiteral("[%1]").arg(j.index + 1));
        EXPECT_EQ(f.MediaPlayer->FileName(), f.list1->Strings(j.index));
        EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Playing"));
    }
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(MenuTest, VolumeMuteThenMaxTwice) {
    TForm1& f = StartWith({"tone.wav"});
    const struct {
        QAction* item;
        int value;
        const char* label;
        bool max, mute;
    } steps[] = {{f.VolumeMin1, 0, "Min Vol.", false, true},
                 {f.VolumeMax1, 1000, "Max Vol.", true, false}};
    for (const auto& s : steps) {
        s.item->trigger();
        EXPECT_EQ(f.Slider1->Value(), s.value);
        EXPECT_EQ(f.Label2->text(), QString::fromUtf8(s.label));
        EXPECT_EQ(f.Gauge1->Progress(), s.value / 10);
        EXPECT_EQ(f.VolumeMax1->isChecked(), s.max);
        EXPECT_EQ(f.VolumeMin1->isChecked(), s.mute);
    }
    // The value doesn't change, so nothing runs: a cleared mark stays cleared, the item doesn't
    // check itself.
    f.VolumeMax1->setChecked(false);
    f.Label2->setText(QStringLiteral("untouched"));
    f.VolumeMax1->trigger();
    EXPECT_FALSE(f.VolumeMax1->isChecked());
    EXPECT_EQ(f.Label2->text(), QStringLiteral("untouched"));
}

TEST_F(MenuTest, ShowAndHidePlaylistWidthsAndMarks) {
    TForm1& f = StartWith({"tone.wav"});
    const struct {
        QAction* item;
        int width;
        bool shown;
    } steps[] = {{f.HidePlaylist1, 385, false},
                 {f.HidePlaylist1, 385, false},
                 {f.ShowPlaylist1, 697, true},
                 {f.ShowPlaylist1, 697, true}};
    for (const auto& s : steps) {
        s.item->trigger();
        EXPECT_EQ(f.ClientWidth(), s.width);
        EXPECT_EQ(f.CheckBox2->isChecked(), s.shown);
        EXPECT_EQ(f.ShowPlaylist1->isChecked(), s.shown);
        EXPECT_EQ(f.HidePlaylist1->isChecked(), !s.shown);
    }
}

TEST_F(MenuTest, StopScrollingTitleTwiceRestoresScrolling) {
    TForm1& f = StartWith({"tone.wav"});
    ASSERT_TRUE(f.TitleTimer->isActive());
    f.StopScrollingTitle1->trigger();
    EXPECT_FALSE(f.TitleTimer->isActive());
    EXPECT_TRUE(f.StopScrollingTitle1->isChecked());
    f.StopScrollingTitle1->trigger();
    EXPECT_TRUE(f.TitleTimer->isActive());
    EXPECT_FALSE(f.StopScrollingTitle1->isChecked());
}

TEST_F(MenuTest, CommandsWithoutEffectLeaveTheirMarksAlone) {
    TForm1& f = StartWith({});
    for (QAction* item : {f.Play3, f.Pause1, f.Stop1}) {
        item->trigger();
        EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
    }
    EXPECT_EQ(f.LabelMode->text(), QStringLiteral("Mode"));
}

TEST_F(MenuTest, InfoPanelAfterEachStart) {
    TForm1& f = StartWith({"tone.wav", "tone.mp3"});
    const struct {
        int index;
        const char* channels;
        const char* bitRate;
    } rows[] = {{0, "Channels : Stereo, 22050Hz", "BitRate    : 16 Kbps, [WAV File]"},
                {1, "Channels : Stereo, 44100Hz", "BitRate    : 128 Kbps"}};
    for (const auto& r : rows) {
        f.btn[r.index]->click();
        const QString title = f.List2->Strings(r.index) + QString(10, QLatin1Char(' '));
        EXPECT_EQ(Lines(f.ListBox1),
                  QStringList({QStringLiteral("Title : ") + title, QString(),
                               QString::fromUtf8(r.channels), QString::fromUtf8(r.bitRate)}));
    }
}

TEST_F(MenuTest, InfoBoxOpensTheDialogOfTheSelectedEntry) {
    TForm1& f = StartWith({"tone.wav", "tone.mp3", "tone.wma"});
    f.Form2 = new TForm2(&f);

    // No selection: nothing opens.
    f.List2->SetItemIndex(-1);
    f.InfoBox1->trigger();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    const struct {
        int index;
        QAction* item;  // nullptr: the InfoBox button
        const char* dialogClass;
    } cases[] = {{0, f.InfoBox1, "TForm2"},
                 {0, nullptr, "TForm2"},
                 {1, f.InfoBox1, "TMPEGFileInfoForm"},
                 {2, nullptr, "TWMAInfoForm"}};
    for (const auto& c : cases) {
        f.List2->SetItemIndex(c.index);
        QString opened;
        WhileModal(
            [&] { c.item ? c.item->trigger() : f.BitBtn6->click(); },
            [&](QWidget* modal) { opened = QString::fromUtf8(modal->metaObject()->className()); });
        EXPECT_EQ(opened, QString::fromUtf8(c.dialogClass)) << c.index;
        EXPECT_EQ(f.list1->ItemIndex(), c.index);
    }
    // The WAV box is the one window made at start-up, filled for the selected file.
    EXPECT_EQ(f.Form2->Filename->text(), MediaFile("tone.wav"));
    EXPECT_EQ(f.Form2->lbHeaderPos->text(), QStringLiteral("Sample Rate : 22050 Hz"));
    EXPECT_EQ(f.Form2->lbBitFrame->text(), QStringLiteral("Bit Rate : 16 Kbps"));
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(MenuTest, PopupCommandsOnThePlaylist) {
    const auto tracks = TwoLongTracks();
    TForm1& f = StartWith({"tone.wav", tracks[0].constData(), tracks[1].constData()});

    f.List2->SetItemIndex(2);
    f.Play1->trigger();  // "Mainkan"
    EXPECT_EQ(f.CurrentIndex, 2);
    EXPECT_EQ(f.MediaPlayer->FileName(), f.list1->Strings(2));

    f.List2->SetItemIndex(0);
    f.Delete1->trigger();  // "Hapus"
    EXPECT_EQ(f.List2->Count(), 2);
    EXPECT_EQ(f.list1->Count(), 2);
    EXPECT_EQ(f.List2->Strings(0), QStringLiteral("long.wav"));

    f.List2->SetItemIndex(-1);
    f.Play1->trigger();
    EXPECT_EQ(f.MediaPlayer->FileName(), f.list1->Strings(1));

    // "Tambah File" and "Open File Multimedia" both open the open dialog.
    for (QAction* item : {f.Add1, f.OpenFile1}) {
        QWidget* opened = nullptr;
        WhileModal([item] { item->trigger(); }, [&opened](QWidget* modal) { opened = modal; });
        EXPECT_EQ(opened, f.OpenDialog) << item->text().toStdString();
    }
    EXPECT_EQ(f.List2->Count(), 2);
}

TEST_F(MenuTest, AboutReadmeAndBonusWindows) {
    Write(QStringLiteral("Readme.Korvi"), "first line\r\nsecond line\r\n");
    TForm1& f = StartWith({});

    for (QAction* item : {f.About2}) {
        QWidget* opened = nullptr;
        WhileModal([item] { item->trigger(); }, [&opened](QWidget* modal) { opened = modal; });
        EXPECT_NE(opened, nullptr);
        EXPECT_EQ(opened, f.Form3);
    }
    QWidget* opened = nullptr;
    WhileModal([&f] { f.BitBtn7->click(); }, [&opened](QWidget* modal) { opened = modal; });
    EXPECT_EQ(opened, f.Form3);

    int lines = 0;
    WhileModal([&f] { f.ReadmeFile1->trigger(); },
               [&](QWidget* modal) {
                   EXPECT_EQ(modal, f.Form7);
                   lines = f.Form7->DnDListBox1->Count();
               });
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(f.Form7->ReadmePath(), Path(QStringLiteral("Readme.Korvi")));
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('\n')).toStdString();

    // Without the readme the file error is shown and the window still opens.
    QFile::remove(Path(QStringLiteral("Readme.Korvi")));
    opened = nullptr;
    WhileModal([&f] { f.ReadmeFile1->trigger(); }, [&opened](QWidget* modal) { opened = modal; });
    EXPECT_EQ(opened, f.Form7);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("Readme.Korvi")))
        << shown[0].text.toStdString();
    shown.clear();

    // The Bonus reports: one window, not modal, written by the command's button.
    f.Form6 = new TForm6(&f);
    f.Form6->WaveOutSource = [] { return TWaveOutCaps{}; };
    f.Form6->DisplaySource = [] { return std::vector<TDisplayDevice>{}; };
    f.SoundCardDetections1->trigger();
    EXPECT_TRUE(f.Form6->isVisible());
    EXPECT_FALSE(f.Form6->isModal());
    const QString sound = f.Form6->Label1->text();
    f.VGACardDetections1->trigger();
    EXPECT_TRUE(f.Form6->isVisible());
    EXPECT_NE(f.Form6->Label1->text(), sound);

    // The system report: one plain message box with the facts of this machine.
    f.YourWindowsInfo1->trigger();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].text.isEmpty());
}

}  // namespace
