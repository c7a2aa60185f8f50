#include "windows/tform3.h"

#include "controls/widgetkit.h"
#include "platform/tapplication.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <functional>

// Static libraries keep their resources only when something names them.
static void initWindowsResources() {
    Q_INIT_RESOURCE(windows);
}

namespace {

QLabel* addLabel(QWidget* parent, const char* name, int left, int top, const QString& text,
                 const QColor& colour) {
    QLabel* label = MakeLabel(parent, name, text, left, top);
    SetTextColour(label, colour);
    return label;
}

// A transparent picture drawn with smooth edges, at the screens' pixel density so that it stays
// sharp on a high-density screen.
QPixmap drawn(const QSize& size, const std::function<void(QPainter&)>& draw) {
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return picture;
}

// The maker's logo: a navy plate with an aqua sound wave and the series' mark.
QPixmap makerLogo() {
    return drawn(QSize(105, 65), [](QPainter& painter) {
        QLinearGradient plate(0, 0, 0, 65);
        plate.setColorAt(0, QColor(0x00, 0x40, 0xA0));
        plate.setColorAt(1, clNavy);
        painter.setBrush(plate);
        painter.setPen(QPen(clTeal, 2));
        painter.drawRoundedRect(QRectF(1, 1, 103, 63), 8, 8);
        QPainterPath wave;
        wave.moveTo(8, 44);
        for (int x = 8; x <= 97; x += 4) {
            const double phase = (x - 8) / 89.0 * 3.14159 * 4;
            wave.lineTo(x, 44 - 9 * std::sin(phase) * (1.0 - (x - 8) / 120.0));
        }
        painter.setPen(QPen(clAqua, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(wave);
        painter.setPen(clWhite);
        painter.setFont(PixelFont(QStringLiteral("Times New Roman"), 22, true));
        painter.drawText(QRect(0, 4, 105, 28), Qt::AlignCenter, QStringLiteral("T III"));
    });
}

// The toolkit's glyph for an "all" button: two check marks side by side.
QIcon allGlyph() {
    return QIcon(drawn(QSize(18, 18), [](QPainter& painter) {
        painter.setPen(
            QPen(QColor(0x00, 0x80, 0x00), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const int dx : {0, 6}) {
            painter.drawPolyline(
                QPolygonF({QPointF(1 + dx, 9), QPointF(4 + dx, 13), QPointF(11 + dx, 4)}));
        }
    }));
}

QPixmap programIcon() {
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        icon = QIcon(QStringLiteral(":/windows/tovra3.png"));
    }
    return icon.pixmap(32, 32);
}

}  // namespace

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint) {
    initWindowsResources();
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About ") + ProductTitle());
    setModal(true);
    setFixedSize(451, 419);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, clTeal);
    setPalette(palette);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(96, 8, 33, 33);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(programIcon());

    Label1 = addLabel(this, "Label1", 134, 12, ProductTitle(), clAqua);
    Label1->setFont(PixelFont(QStringLiteral("Times New Roman"), 21, true));
    Label1->adjustSize();

    CreateStory();
    CreateCredits();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

// The navy panel with what is new and the dedication, every line at its fixed place.
void TForm3::CreateStory() {
    Panel2 = MakePanel(this, "Panel2", QRect(8, 48, 437, 281), false, clNavy);
    // Lowered inner and outer bevels.
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(2);

    struct Line {
        QLabel** label;
        const char* name;
        int left;
        int top;
        const char* text;
    };
    const Line lines[] = {
        {&Label4, "Label4", 36, 8,
         "Seperti seri lalu, komponen media player-nya masih bawaan IDE."},
        {&Label5, "Label5", 8, 24,
         "Seri ini adalah Seri terakhir dari Tovra, Itulah sebab Velmo History.."},
        {&Label9, "Label9", 40, 48, "What New's In Tovra III :"},
        {&Label10, "Label10", 16, 64, "- Klik Kanan Suport pada Playlist"},
        {&Label11, "Label11", 16, 80, "- Drag n Drop file Multimedia  from Explore To Playlist."},
        {&Label12, "Label12", 16, 96, "- Playlist Editor."},
        {&Label13, "Label13", 16, 113, "- Info Box Baru dan lebih komplit."},
        {&Label14, "Label14", 16, 128, "- Some Bug Fixed."},
        {&Label15, "Label15", 40, 154,
         "Sebuah persembahan terakhir untuk nya, sebagai akhir sebuah kisah,"},
        {&Label16, "Label16", 8, 170, "Tetapi juga sebagai awal kisah baru Untukku dan Untuknya."},
        {&Label27, "Label27", 8, 187, "Semoga didapatnya yang lebih baik.."},
        {&Label17, "Label17", 8, 203, "Amien."},
        {&Label25, "Label25", 179, 248, "- The End -"},
    };
    for (const Line& line : lines) {
        *line.label = addLabel(Panel2, line.name, line.left, line.top,
                               QString::fromLatin1(line.text), clWhite);
    }
    Label25->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    Label25->adjustSize();
}

// The maker's panel and the Ok button.
void TForm3::CreateCredits() {
    Panel1 = MakePanel(this, "Panel1", QRect(8, 338, 353, 73), true, clWhite);
    Image2 = new QLabel(Panel1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(4, 4, 105, 65);
    Image2->setPixmap(makerLogo());
    LabelMaker =
        addLabel(Panel1, "LabelMaker", 116, 10, QStringLiteral("Made by the Tovra team"), clBlack);
    LabelMaker->setFont(PixelFont(QStringLiteral("Monotype Corsiva"), 16, true, true));
    LabelMaker->adjustSize();
    LabelRights = addLabel(Panel1, "LabelRights", 116, 40,
                           QStringLiteral("Freeware: free to use and to share,\n"
                                          "given as it is, without any warranty."),
                           clBlack);
    LabelRights->setFont(PixelFont(QStringLiteral("Times New Roman"), 11));
    LabelRights->adjustSize();

    BitBtn1 = MakeButton(this, "BitBtn1", QStringLiteral("Ok"), QRect(376, 358, 67, 33));
    BitBtn1->setIcon(allGlyph());
    BitBtn1->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    BitBtn1->setCursor(Qt::PointingHandCursor);
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this](bool) { BitBtn1Click(); }, this));
}

void TForm3::BitBtn1Click() {
    done(mrAll);
}

void TForm3::showEvent(QShowEvent* event) {
    // The start-up code may set the program's icon after this window was made.
    Image1->setPixmap(programIcon());
    QDialog::showEvent(event);
}
