#include "windows/tform3.h"

#include "platform/pixelfont.h"
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

const QColor kTeal(0x00, 0x80, 0x80);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kWhite(0xFF, 0xFF, 0xFF);

QLabel* addLabel(QWidget* parent, const char* name, int left, int top, const QString& text,
                 const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QFrame* addPanel(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    return panel;
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
        plate.setColorAt(1, kNavy);
        painter.setBrush(plate);
        painter.setPen(QPen(kTeal, 2));
        painter.drawRoundedRect(QRectF(1, 1, 103, 63), 8, 8);
        QPainterPath wave;
        wave.moveTo(8, 44);
        for (int x = 8; x <= 97; x += 4) {
            const double phase = (x - 8) / 89.0 * 3.14159 * 4;
            wave.lineTo(x, 44 - 9 * std::sin(phase) * (1.0 - (x - 8) / 120.0));
        }
        painter.setPen(QPen(kAqua, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(wave);
        painter.setPen(kWhite);
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
    setWindowTitle(QStringLiteral("About Tovra III [Velmo History]"));
    setModal(true);
    setFixedSize(451, 419);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kTeal);
    setPalette(palette);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(96, 8, 33, 33);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(programIcon());

    Label1 = addLabel(this, "Label1", 134, 12, QStringLiteral("Tovra III [Velmo History]"), kAqua);
    Label1->setFont(PixelFont(QStringLiteral("Times New Roman"), 21, true));
    Label1->adjustSize();

    Panel2 = addPanel(this, "Panel2", QRect(8, 48, 437, 281), kNavy);
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
                               QString::fromLatin1(line.text), kWhite);
    }
    Label25->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    Label25->adjustSize();

    Panel1 = addPanel(this, "Panel1", QRect(8, 338, 353, 73), kWhite);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Image2 = new QLabel(Panel1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(4, 4, 105, 65);
    Image2->setPixmap(makerLogo());
    LabelMaker = addLabel(Panel1, "LabelMaker", 116, 10, QStringLiteral("Made by the Tovra team"),
                          Qt::black);
    LabelMaker->setFont(PixelFont(QStringLiteral("Monotype Corsiva"), 16, true, true));
    LabelMaker->adjustSize();
    LabelRights = addLabel(Panel1, "LabelRights", 116, 40,
                           QStringLiteral("Freeware: free to use and to share,\n"
                                          "given as it is, without any warranty."),
                           Qt::black);
    LabelRights->setFont(PixelFont(QStringLiteral("Times New Roman"), 11));
    LabelRights->adjustSize();

    BitBtn1 = new QPushButton(allGlyph(), QStringLiteral("Ok"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(376, 358, 67, 33);
    BitBtn1->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    BitBtn1->setCursor(Qt::PointingHandCursor);
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this](bool) { BitBtn1Click(); }, this));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TForm3::BitBtn1Click() {
    done(mrAll);
}

void TForm3::showEvent(QShowEvent* event) {
    // The start-up code may set the program's icon after this window was made.
    Image1->setPixmap(programIcon());
    QDialog::showEvent(event);
}
