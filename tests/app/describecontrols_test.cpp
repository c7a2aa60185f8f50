// The player window as a screen reader and a keyboard user meet it.
#include "app/describecontrols.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QKeyEvent>

#include <set>

#include "tests/support/playerfixture.h"
#include "tests/support/qtprinters.h"

namespace {

class AccessTest : public PlayerFixture {
protected:
    // A window playing a long silent track, so the position slider is enabled.
    TForm1& Playing() {
        const QByteArray wav = LongWav();
        WriteState({wav.constData(), "tone.mp3"}, "0\r\n2\r\n1\r\n1000\r\n");
        TForm1& f = Start();
        f.BtnPlay->click();
        EXPECT_TRUE(WaitFor([&] { return f.MediaPlayer->Mode() == TMediaPlayer::mpPlaying; }));
        return f;
    }

    static QAccessibleInterface* Access(QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    }

    // Whether the widget or one of its parents is the playlist, whose list comes with its own
    // model later.
    static bool InPlaylist(const TForm1& f, const QWidget* widget) {
        return f.List2->isAncestorOf(widget) || widget == f.List2 || widget == f.list1 ||
               f.list1->isAncestorOf(widget);
    }
};

TEST_F(AccessTest, EveryControlHasARoleANameAndItsValue) {
    TForm1& f = Playing();
    const struct {
        QWidget* control;
        QAccessible::Role role;
        QString name;
        QString value;  // the value text, where there is one
    } cases[] = {
        {f.Slider2, QAccessible::Slider, QStringLiteral("Position"), QString()},
        {f.Slider1, QAccessible::Slider, QStringLiteral("Volume"), QStringLiteral("1000")},
        {f.Gauge1, QAccessible::ProgressBar, QStringLiteral("Volume level"),
         QStringLiteral("100%")},
        {f.ProgressBar1, QAccessible::ProgressBar, QStringLiteral("Position bar"), QString()},
        {f.btnprev, QAccessible::Button, QStringLiteral("Previous"), QString()},
        {f.BtnPlay, QAccessible::Button, QStringLiteral("Play"), QString()},
        {f.btnpause, QAccessible::Button, QStringLiteral("Pause"), QString()},
        {f.btnstop, QAccessible::Button, QStringLiteral("Stop"), QString()},
        {f.btnnext, QAccessible::Button, QStringLiteral("Next"), QString()},
        {f.BitBtn1, QAccessible::Button, QStringLiteral("Add"), QString()},
        {f.btn[19], QAccessible::Button, QStringLiteral("Next"), QString()},
        {f.CheckBox2, QAccessible::CheckBox, QStringLiteral("Show playlist (PL)"), QString()},
        {f.Checkbox1, QAccessible::CheckBox, QStringLiteral("Loop back (LB)"), QString()},
        {f.Image1, QAccessible::Graphic, QStringLiteral("Banner"), QString()},
        {f.LabelMode, QAccessible::StaticText, QStringLiteral("Playing"), QString()},
        {f.Label2, QAccessible::StaticText, QStringLiteral("Max Vol."), QString()},
        {f.Labelnomer, QAccessible::StaticText, QStringLiteral("[1]"), QString()},
    };
    for (const auto& c : cases) {
        QAccessibleInterface* access = Access(c.control);
        ASSERT_NE(access, nullptr) << c.name.toStdString();
        EXPECT_EQ(access->role(), c.role) << c.name.toStdString();
        EXPECT_EQ(access->text(QAccessible::Name), c.name);
        if (!c.value.isEmpty()) {
            EXPECT_EQ(access->text(QAccessible::Value), c.value) << c.name.toStdString();
        }
    }
    QAccessibleValueInterface* position = Access(f.Slider2)->valueInterface();
    EXPECT_EQ(position->maximumValue().toInt(), f.Slider2->MaxValue());
    EXPECT_GT(position->maximumValue().toInt(), 20000) << "the track's length in ms";
    EXPECT_EQ(position->minimumStepSize().toInt(), 10);

    // The quick-play buttons say what their colours say.
    const QString states[] = {QStringLiteral("playing"), QStringLiteral("present"),
                              QStringLiteral("empty")};
    for (int k = 1; k <= 3; ++k) {
        QAccessibleInterface* access = Access(f.btn[k - 1]);
        EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("Play entry %1").arg(k));
        EXPECT_EQ(access->text(QAccessible::Description), states[k - 1]);
    }

    // Nothing outside the playlist is left without a name, containers aside.
    for (QWidget* widget : f.findChildren<QWidget*>()) {
        QAccessibleInterface* access = Access(widget);
        if (!widget->isVisible() || InPlaylist(f, widget) || access == nullptr ||
            widget->parent() == f.Slider1 || widget->parent() == f.Slider2 ||
            access->role() == QAccessible::Client || access->role() == QAccessible::Pane ||
            access->role() == QAccessible::Grouping || access->role() == QAccessible::Border ||
            access->role() == QAccessible::MenuBar || access->role() == QAccessible::PopupMenu) {
            continue;
        }
        EXPECT_FALSE(access->text(QAccessible::Name).trimmed().isEmpty())
            << widget->metaObject()->className() << " role " << access->role();
    }
}

TEST_F(AccessTest, SettingASliderThroughTheInterfaceSeeksOrSetsTheVolume) {
    TForm1& f = Playing();
    Access(f.Slider2)->valueInterface()->setCurrentValue(12000);
    Access(f.Slider1)->valueInterface()->setCurrentValue(555);
    ASSERT_TRUE(WaitFor([&] { return f.Slider1->Value() == 555; }));
    // The device plays on from where the thumb was put, as after a drag.
    EXPECT_TRUE(WaitFor([&] { return f.MediaPlayer->Position() >= 12000; }));
    EXPECT_LT(f.MediaPlayer->Position(), 20000);
    EXPECT_EQ(f.MediaPlayer->Mode(), TMediaPlayer::mpPlaying);
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Vol. 55"));
    EXPECT_EQ(Access(f.Gauge1)->text(QAccessible::Value), QStringLiteral("55%"));
    EXPECT_TRUE(f.Gauge1->isVisible());
}

TEST_F(AccessTest, TabReachesEveryControlWithItsFocusShownAndF10OpensTheMenus) {
    TForm1& f = Playing();
    f.activateWindow();
    QApplication::setActiveWindow(&f);
    std::set<QWidget*> reached;
    for (int i = 0; i < 80; ++i) {
        QWidget* from = QApplication::focusWidget() ? QApplication::focusWidget() : &f;
        const QImage before = from->grab().toImage();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(from, &tab);
        QWidget* to = QApplication::focusWidget();
        ASSERT_NE(to, nullptr);
        if (from != &f && !InPlaylist(f, from)) {
            EXPECT_NE(from->grab().toImage(), before)
                << "focus not shown on " << Access(from)->text(QAccessible::Name).toStdString();
        }
        reached.insert(to);
    }
    for (QWidget* widget : f.findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
            EXPECT_TRUE(reached.count(widget))
                << Access(widget)->text(QAccessible::Name).toStdString();
        }
    }
    QKeyEvent f10(QEvent::KeyPress, Qt::Key_F10, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &f10);
    EXPECT_TRUE(WaitFor([&] { return f.MainMenu1->activeAction() == f.File1->menuAction(); }));
}

// The list is an item view of the playlist's model, so a screen reader gets it as Qt's views
// give it: a list with one item per entry, the selected one marked, the current one described.
TEST_F(AccessTest, ThePlaylistIsAListOfItsEntriesWithTheCurrentOne) {
    WriteState({"tone.wav", "tone.mp3", "tone.wma"}, "0\r\n2\r\n1\r\n1000\r\n");
    TForm1& f = Start();
    f.btn[1]->click();
    QAccessibleInterface* list = Access(f.List2);
    ASSERT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Playlist entries"));
    const QString names[] = {QStringLiteral("tone.wav"), QStringLiteral("tone.mp3"),
                             QStringLiteral("tone.wma")};
    ASSERT_EQ(list->childCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* item = list->child(i);
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(item->role(), QAccessible::ListItem) << i;
        EXPECT_EQ(item->text(QAccessible::Name), names[i]);
        EXPECT_EQ(item->text(QAccessible::Description),
                  i == 1 ? QStringLiteral("playing") : QString());
        EXPECT_EQ(item->state().selected, i == 1) << i;
    }
    f.btnnext->click();
    EXPECT_EQ(list->child(2)->text(QAccessible::Description), QStringLiteral("playing"));
    EXPECT_TRUE(list->child(2)->state().selected);
    f.List2->DoFileDropped(MediaFile("clip.avi"));
    EXPECT_EQ(list->childCount(), 4);
    EXPECT_EQ(list->child(3)->text(QAccessible::Name), QStringLiteral("clip.avi"));
}

}  // namespace
