#include "sysinfo/tform6.h"

#include "controls/widgetkit.h"
#include "platform/pixelfont.h"
#include "platform/tapplication.h"
#include "sysinfo/talsawaveout.h"
#include "sysinfo/tdrmdisplaydevices.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

const QString kSoundHeading = QStringLiteral("Sound Card Detections");
const QString kDisplayHeading = QStringLiteral("VGA Detections");

}  // namespace

TForm6::TForm6(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      WaveOutSource(AlsaWaveOutCaps),
      DisplaySource([] { return DrmDisplayDevices(); }) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Bonus"));
    setModal(false);
    setFixedSize(306, 292);

    Label1 = MakeLabel(this, "Label1", kSoundHeading, 8, 8);
    Label1->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    SetTextColour(Label1, clRed);
    Label1->adjustSize();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 24, 289, 257);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FitMemoFont();

    Button1 = MakeButton(this, "Button1", QStringLiteral("Button1"), QRect(168, 8, 25, 17));
    Button1->setVisible(false);
    connect(Button1, &QPushButton::clicked, this, guarded([this](bool) { Button1Click(); }, this));

    Button2 = MakeButton(this, "Button2", kSoundHeading, QRect(200, 0, 33, 17));
    Button2->setVisible(false);
    connect(Button2, &QPushButton::clicked, this, guarded([this](bool) { Button2Click(); }, this));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TForm6::FitMemoFont() {
    // Room for a line: the memo less its frame, its vertical scroll bar and the text's margins.
    const int room = Memo1->width() - 2 * Memo1->frameWidth() -
                     Memo1->verticalScrollBar()->sizeHint().width() -
                     2 * static_cast<int>(Memo1->document()->documentMargin()) - 1;
    TWaveOutCaps everything;
    everything.Present = true;
    everything.Formats = ~0u;
    const QStringList lines = SoundCardReport(everything);
    for (int pixels = 11; pixels >= 8; --pixels) {
        const QFont font = PixelFont(QStringLiteral("MS Sans Serif"), pixels);
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
            return metrics.horizontalAdvance(line) <= room;
        });
        Memo1->setFont(font);
        if (fits) {
            break;
        }
    }
}

void TForm6::Button1Click() {
    writeReport(kDisplayHeading, DisplayAdapterReport(DisplaySource()), true);
}

void TForm6::Button2Click() {
    writeReport(kSoundHeading, SoundCardReport(WaveOutSource()), false);
}

void TForm6::writeReport(const QString& heading, const QStringList& lines, bool frontEachLine) {
    Label1->setText(heading);
    Label1->adjustSize();
    Memo1->clear();
    for (const QString& line : lines) {
        Memo1->appendPlainText(line);
        if (frontEachLine) {
            presentWindow();
        }
    }
    // Shown from its first line: the name and the version come before the list of formats.
    Memo1->moveCursor(QTextCursor::Start);
}

void TForm6::ShowSoundCardReport() {
    presentWindow();
    Button2->click();
}

void TForm6::ShowDisplayAdapterReport() {
    presentWindow();
    Button1->click();
}

void TForm6::presentWindow() {
    show();
    raise();
    activateWindow();
}
