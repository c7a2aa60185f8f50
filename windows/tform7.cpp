#include "windows/tform7.h"

#include "controls/tdndlistbox.h"
#include "controls/widgetkit.h"
#include "platform/tapplication.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

TForm7::TForm7(QWidget* parent, const QString& programDir)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      programDir_(programDir) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Readme File"));
    setModal(true);
    setFixedSize(523, 449);

    DnDListBox1 = new TDnDListBox(this);
    DnDListBox1->setObjectName(QStringLiteral("DnDListBox1"));
    DnDListBox1->setGeometry(0, -1, 521, 449);
    DnDListBox1->setFont(PixelFont(QStringLiteral("Lucida Console"), 13));
    // A plain list box sizes its lines by the font; the item height counts only when owner-drawn,
    // so a substitute font with longer descenders is never clipped.
    DnDListBox1->SetItemHeight(13);
    DnDListBox1->SetAutoAdd(true);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

QString TForm7::ReadmePath() const {
    const QString folder =
        programDir_.isEmpty() ? QCoreApplication::applicationDirPath() : programDir_;
    return folder + QStringLiteral("/Readme.Korvi");
}

void TForm7::FormShow() {
    DnDListBox1->LoadFromFile(ReadmePath());
}

void TForm7::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Restored from the task bar is no new showing: no reload, no second error. A missing readme
    // is reported, and the window still opens with what it listed before.
    if (!event->spontaneous()) {
        guarded([this] { FormShow(); }, this)();
    }
}
