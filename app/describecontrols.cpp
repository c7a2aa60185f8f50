#include "app/describecontrols.h"

#include <QShortcut>

#include "app/tform1.h"

const char* QuickPlayState(bool current, bool present) {
    return current ? "playing" : present ? "present" : "empty";
}

void DescribeControls(TForm1& form) {
    const struct {
        QWidget* control;
        const char* name;
    } names[] = {
        {form.Panel5, "Player"},
        {form.Image1, "Banner"},
        {form.Gauge1, "Volume level"},
        {form.Slider2, "Position"},
        {form.Panel2, "Options"},
        {form.CheckBox2, "Show playlist (PL)"},
        {form.Checkbox1, "Loop back (LB)"},
        {form.Panel1, "Volume"},
        {form.Image2, "Volume picture"},
        {form.Slider1, "Volume"},
        {form.btnprev, "Previous"},
        {form.BtnPlay, "Play"},
        {form.btnpause, "Pause"},
        {form.btnstop, "Stop"},
        {form.btnnext, "Next"},
        {form.BitBtn1, "Add"},
        {form.PanelQuick, "Quick play"},
        {form.btn[19], "Next"},
        {form.ListBox1, "Stream info"},
        {form.Panel6, "Playlist"},
        {form.ProgressBar1, "Position bar"},
        {form.Panel3, "Playlist commands"},
    };
    for (const auto& n : names) {
        n.control->setAccessibleName(QString::fromUtf8(n.name));
    }
    for (int k = 1; k <= 19; ++k) {
        QPushButton* button = form.btn[static_cast<std::size_t>(k - 1)];
        button->setAccessibleName(QStringLiteral("Play entry %1").arg(k));
        button->setAccessibleDescription(QString::fromUtf8(QuickPlayState(false, false)));
    }
    // The menus have no mnemonics (their captions are fixed); F10 opens the first one, and the
    // arrow keys go on from there.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), &form);
    QObject::connect(menuKey, &QShortcut::activated, &form,
                     [&form] { form.MainMenu1->setActiveAction(form.File1->menuAction()); });
}
