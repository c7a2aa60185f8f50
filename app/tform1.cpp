#include "app/tform1.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QPainter>
#include <QShowEvent>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <limits>

#include "app/describecontrols.h"
#include "app/tjpegimage.h"
#include "app/tmenumarkstyle.h"
#include "app/tplaylistmodel.h"
#include "controls/widgetkit.h"
#include "device/emcideviceerror.h"
#include "infobox/infodispatch.h"
#include "infobox/tform2.h"
#include "platform/filenames.h"
#include "platform/highdensity.h"
#include "platform/tapplication.h"
#include "platform/tinifile.h"
#include "sysinfo/tform6.h"
#include "sysinfo/tlinuxsystemfacts.h"
#include "tags/efileerror.h"
#include "tags/unifile.h"
#include "windows/tform3.h"
#include "windows/tform7.h"

namespace {

const QString kTitleTail = QStringLiteral("          ");  // ten blanks after every title
const QString kAuthorCredit = QStringLiteral("by Korvi");

int ToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

TSlider* MakeSlider(QWidget* parent, const QRect& geometry, const QString& thumb, int maximum) {
    auto* slider = new TSlider(parent);
    slider->setGeometry(geometry);
    slider->SetNumThumbStates(2);
    slider->SetImageHThumb(QImage(HighDensityFile(QStringLiteral(":/art/sliders/") + thumb)));
    // The focus shows on both, so a keyboard user sees where the keys go.
    slider->SetOptions(soShowFocus | soSmooth);
    slider->SetMinValue(0);
    slider->SetMaxValue(maximum);
    slider->SetIncrement(10);
    return slider;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QRect& geometry, const QString& hint) {
    auto* box = new QCheckBox(parent);
    box->setGeometry(geometry);
    box->setToolTip(hint);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

// A bitmap-button glyph: the bottom-left pixel's colour is transparent. The picture drawn at
// twice the size, when there is one, serves high-density screens; Qt picks one when it paints.
QIcon GlyphIcon(const QImage& image, const QImage& doubleSize = QImage()) {
    QIcon icon;
    for (const QImage& picture : {image, doubleSize}) {
        if (picture.isNull()) {
            continue;
        }
        QPixmap pixmap = QPixmap::fromImage(picture);
        pixmap.setMask(pixmap.createMaskFromColor(picture.pixelColor(0, picture.height() - 1),
                                                  Qt::MaskInColor));
        icon.addPixmap(pixmap);
    }
    return icon.isNull() ? QIcon(QPixmap::fromImage(image)) : icon;
}

QIcon ArtIcon(const QString& name) {
    const QString file = QStringLiteral(":/art/buttons/") + name;
    return GlyphIcon(QImage(file), QImage(DoubleSizeName(file)));
}

// A menu item whose check mark only the program sets: a click doesn't toggle it.
QAction* MarkItem(QMenu* menu, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setCheckable(true);
    QObject::connect(action, &QAction::triggered, action,
                     [action](bool checked) { action->setChecked(!checked); });
    return action;
}

// A fixed window: made on first use, then the same one every time; its owner frees it.
template <typename Window, typename... Args>
Window& FixedWindow(Window*& window, const Args&... args) {
    if (!window) {
        window = new Window(args...);
    }
    return *window;
}

}  // namespace

TForm1::TForm1(QString programDir, QString audioSink, QString videoSink, QWidget* parent)
    : QMainWindow(parent),
      Playlist(new TPlaylist(this)),
      CurrentIndex(*Playlist),
      programDir_(std::move(programDir)),
      audioSink_(std::move(audioSink)),
      videoSink_(std::move(videoSink)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    CreateControls();
    CreateMenus();
    ConnectHandlers();
    ConnectMenus();
    DescribeControls(*this);
    FormCreate();
}

TForm1::~TForm1() {
    guarded([this](auto&&...) { FormDestroy(); })();
}

// --- files and geometry -------------------------------------------------------------------------

QString TForm1::DefaultCaption() {
    return ProductTitle();
}

QString TForm1::FormatTime(std::int64_t ms) {
    return QString::asprintf("%2.2d:%2.2d", ToInt(ms / 60000), ToInt((ms / 1000) % 60));
}

QString TForm1::IniFileName() const {
    QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (program.isEmpty()) {
        program = QStringLiteral("tovra3");
    }
    return programDir_ + QLatin1Char('/') + program + QStringLiteral(".INI");
}

QString TForm1::PlayListFileName() const {
    return programDir_ + QStringLiteral("/PlayList.Txt");
}

QString TForm1::KorviListFileName() const {
    return programDir_ + QStringLiteral("/KorviList.Txt");
}

QString TForm1::SettingsFileName() const {
    return programDir_ + QStringLiteral("/KorviSetting.Korvi");
}

TPlaylist::TFiles TForm1::StateFiles() const {
    return {PlayListFileName(), KorviListFileName(), SettingsFileName()};
}

QString TForm1::GlyphFileName(const QString& name) const {
    return programDir_ + QStringLiteral("/Tombol/") + name;
}

int TForm1::ClientWidth() const {
    return client_->width();
}

int TForm1::ClientHeight() const {
    return client_->height();
}

void TForm1::SetClientWidth(int width) {
    client_->setFixedSize(width, client_->height());
    // The window's layout keeps the window fixed to the client area plus the menu bar.
    if (layout()) {
        layout()->activate();
    }
    adjustSize();
}

// --- composition
// ----------------------------------------------------------------------------------

void TForm1::CreateControls() {
    client_ = new QWidget(this);
    client_->setFixedSize(697, 322);
    setCentralWidget(client_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    CreatePlayerSide(client_);
    CreatePlaylistSide(client_);
}

// Every control of the player side at its fixed place, one after the other: long until a
// widget kit lays them out. NOLINTNEXTLINE(readability-function-size)
void TForm1::CreatePlayerSide(QWidget* client) {
    // At the left edge, so the whole panel fits the 375-pixel window with the playlist hidden.
    Panel5 = MakePanel(client, "Panel5", QRect(0, 6, 374, 310), true);
    Image1 = new QLabel(Panel5);
    Image1->setGeometry(7, 7, 359, 105);
    const QString banner = HighDensityFile(QStringLiteral(":/art/banner.jpg"));
    QImage bannerImage = TJPEGImage::LoadFromFile(banner);
    bannerImage.setDevicePixelRatio(PictureRatio(banner));
    Image1->setPixmap(QPixmap::fromImage(bannerImage));

    // Width 0: as wide as the text. Labels whose text changes get room for their longest text.
    const struct {
        QLabel** label;
        const char* name;
        const char* text;
        QRect place;
        QColor colour;
    } labels[] = {
        {&Labelwaktu, "Labelwaktu", "00:00", {16, 10, 118, 42}, clSilver},
        {&Label1, "Label1", "Durasi :", {140, 14, 0, 0}, clWhite},
        {&labeldurasi, "labeldurasi", "00:00", {186, 14, 60, 0}, clLime},
        {&LabelMode, "LabelMode", "Mode", {140, 32, 100, 0}, clAqua},
        {&Label4, "Label4", "Playlist No.", {140, 50, 0, 0}, clWhite},
        {&Labelnomer, "Labelnomer", "-", {206, 50, 50, 0}, clWhite},
        {&Label3, "Label3", "Vol.", {258, 14, 0, 0}, clWhite},
        {&labeltitle, "labeltitle", "*Title          ", {20, 88, 335, 16}, clRed},
    };
    for (const auto& l : labels) {
        *l.label = MakeLabel(Panel5, l.name, QString::fromLatin1(l.text), l.place.x(), l.place.y());
        SetTextColour(*l.label, l.colour);
    }
    Labelwaktu->setFont(PixelFont(QStringLiteral("Times New Roman"), 35, true));
    labeltitle->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    for (const auto& l : labels) {
        const QSize size = (*l.label)->sizeHint();
        (*l.label)->resize(l.place.width() > 0 ? l.place.width() : size.width(),
                           l.place.height() > 0 ? l.place.height() : size.height());
    }

    Gauge1 = new TGauge(Panel5);
    Gauge1->setGeometry(258, 30, 99, 15);
    Gauge1->SetRange(0, 100);
    Gauge1->SetProgress(100);
    Gauge1->BackColor = clYellow;
    Gauge1->ForeColor = clLime;
    Gauge1->TextColor = clAqua;
    Gauge1->setFont(PixelFont(QStringLiteral("Tahoma"), 11, true));

    Slider2 = MakeSlider(Panel5, QRect(12, 117, 350, 9), QStringLiteral("position_thumb.bmp"), 100);
    Slider2->setToolTip(QStringLiteral("Music or Video Position"));
    Slider2->SetValue(0);
    Slider2->setEnabled(false);

    const struct {
        QPushButton** button;
        QWidget* panel;
        const char* name;
        const char* caption;
        const char* hint;
        const char* icon;
        QRect place;
    } buttons[] = {
        {&btnprev, Panel5, "btnprev", "", "Track list sebelumnya", "prev.bmp", {12, 132, 40, 25}},
        {&BtnPlay, Panel5, "BtnPlay", "", "Mainkan filelist", nullptr, {52, 132, 40, 25}},
        {&btnpause, Panel5, "btnpause", "", "Pause", nullptr, {92, 132, 40, 25}},
        {&btnstop, Panel5, "btnstop", "", "Stop", nullptr, {132, 132, 40, 25}},
        {&btnnext,
         Panel5,
         "btnnext",
         "",
         "Mainkan track list selanjutnya",
         "next.bmp",
         {172, 132, 40, 25}},
        {&BitBtn1, Panel5, "BitBtn1", "", "Add filelist", "add.bmp", {218, 132, 40, 25}},
    };
    for (const auto& b : buttons) {
        *b.button = MakeButton(b.panel, b.name, QString::fromLatin1(b.caption), b.place);
        (*b.button)->setToolTip(QString::fromLatin1(b.hint));
        if (b.icon) {
            (*b.button)->setIcon(ArtIcon(QString::fromLatin1(b.icon)));
        }
    }

    Panel1 = MakePanel(Panel5, "Panel1", QRect(264, 129, 102, 44), true);
    Image2 = new QLabel(Panel1);
    Image2->setGeometry(4, 4, 20, 16);
    Image2->setPixmap(ArtIcon(QStringLiteral("volume.bmp")).pixmap(20, 16));
    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("Max Vol."), 30, 6);
    Label2->resize(66, Label2->height());
    Label2->setEnabled(false);
    Slider1 = MakeSlider(Panel1, QRect(3, 27, 95, 11), QStringLiteral("volume_thumb.bmp"), 1000);
    Slider1->setToolTip(QStringLiteral("Volume control"));
    Slider1->SetValue(1000);

    Panel2 = MakePanel(Panel5, "Panel2", QRect(7, 162, 253, 26), false, clMoneyGreen);
    CheckBox2 = MakeCheckBox(Panel2, QRect(6, 5, 16, 16), QStringLiteral("Show or Hide Playlist"));
    Label5 = MakeLabel(Panel2, "Label5", QStringLiteral("PL"), 24, 6);
    Checkbox1 = MakeCheckBox(Panel2, QRect(48, 5, 16, 16), QStringLiteral("Loop Back"));
    Label6 = MakeLabel(Panel2, "Label6", QStringLiteral("LB"), 66, 6);
    BitBtn7 =
        MakeButton(Panel2, "BitBtn7", QStringLiteral("About Tovra III "), QRect(124, 2, 126, 22));
    BitBtn7->setToolTip(QStringLiteral("Tentang ") + ProductTitle());
    BitBtn7->setIcon(ArtIcon(QStringLiteral("about.bmp")));

    PanelQuick = MakePanel(Panel5, "PanelQuick", QRect(7, 191, 256, 56), true);
    const QFont terminal = PixelFont(QStringLiteral("Terminal"), 11, true);
    for (int k = 1; k <= 20; ++k) {
        const QByteArray name = "btn" + QByteArray::number(k);
        QPushButton* button = MakeButton(
            PanelQuick, name.constData(), k < 20 ? QString::number(k) : QStringLiteral(">>"),
            QRect(3 + (k - 1) % 10 * 25, 3 + (k - 1) / 10 * 25, 25, 25));
        button->setProperty("Tag", k);
        button->setFont(terminal);
        SetTextColour(button, clSilver);
        btn[k - 1] = button;
    }
    btn[19]->setToolTip(QStringLiteral("Mainkan track list selanjutnya"));

    Panel4 = MakePanel(Panel5, "Panel4", QRect(264, 176, 102, 71), false, clMoneyGreen);
    ListBox1 = new QListWidget(Panel5);
    ListBox1->setGeometry(7, 251, 359, 52);
    ListBox1->setFont(PixelFont(QStringLiteral("Tahoma"), 11, true));
    ListBox1->setEnabled(false);
}

void TForm1::CreatePlaylistSide(QWidget* client) {
    Panel6 = MakePanel(client, "Panel6", QRect(385, 6, 307, 310), true);

    auto* rows = new TPlaylistModel(*Playlist, this);
    List2 = new TDnDListBox(Panel6);
    List2->setModel(rows);
    // Made by the model, so the views, destroyed first, never outlive it.
    List2->setSelectionModel(new QItemSelectionModel(rows, rows));
    List2->setGeometry(6, 6, 295, 242);
    List2->SetStyle(lbOwnerDrawFixed);
    List2->SetItemHeight(16);
    List2->SetAutoAdd(false);
    List2->setFont(PixelFont(QStringLiteral("Tahoma"), 11));
    SetTextColour(List2, clNavy);
    List2->setContextMenuPolicy(Qt::CustomContextMenu);
    List2->setAccessibleName(QStringLiteral("Playlist entries"));

    // The hidden list of full paths shows the same rows and shares the selection, so it is
    // always the visible list's copy.
    list1 = new TDnDListBox(Panel6);
    list1->SetAutoAdd(false);
    list1->setModel(List2->model());
    list1->SetTextRole(TPlaylistModel::PathRole);
    list1->setSelectionModel(List2->selectionModel());
    list1->hide();

    ProgressBar1 = new QProgressBar(Panel6);
    ProgressBar1->setGeometry(11, 254, 285, 12);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Panel3 = MakePanel(Panel6, "Panel3", QRect(6, 272, 295, 32), true);
    const struct {
        QPushButton** button;
        const char* name;
        const char* caption;
        const char* hint;
        const char* icon;
        QRect place;
    } buttons[] = {
        {&BitBtn2, "BitBtn2", "Add", "Add filelist", "add.bmp", {3, 4, 52, 24}},
        {&BitBtn3,
         "BitBtn3",
         "Delete",
         "Hapus filelist yang terseleksi",
         "delete.bmp",
         {56, 4, 60, 24}},
        {&BitBtn4, "BitBtn4", "Clear", "Clear Playlist", "clear.bmp", {117, 4, 56, 24}},
        {&BitBtn6,
         "BitBtn6",
         "InfoBox",
         "Lihat InfoBox filelist yang terseleksi",
         "info.bmp",
         {174, 4, 62, 24}},
    };
    for (const auto& b : buttons) {
        *b.button = MakeButton(Panel3, b.name, QString::fromLatin1(b.caption), b.place);
        (*b.button)->setToolTip(QString::fromLatin1(b.hint));
        (*b.button)->setIcon(ArtIcon(QString::fromLatin1(b.icon)));
    }
    BitBtn5 = MakeButton(Panel3, "BitBtn5", QString(), QRect(237, 4, 55, 24));
    BitBtn5->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true, true));
    BitBtn5->setEnabled(false);

    // Every button but the disabled credit shows the hand and takes the focus by the keyboard
    // only, as bitmap buttons do.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button != BitBtn5) {
            button->setCursor(Qt::PointingHandCursor);
            button->setFocusPolicy(Qt::TabFocus);
        }
    }
}

void TForm1::CreateMenus() {
    MainMenu1 = menuBar();
    File1 = MainMenu1->addMenu(QStringLiteral("  File"));
    OpenFile1 = File1->addAction(ArtIcon(QStringLiteral("open.bmp")),
                                 QStringLiteral("Open File Multimedia"));
    Exit1 = File1->addAction(QStringLiteral("Exit"));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    Exit1->setShortcutContext(Qt::WindowShortcut);

    Play2 = MainMenu1->addMenu(QStringLiteral("Play"));
    Play3 = MarkItem(Play2, QStringLiteral("Play"));
    Play3->setShortcut(QKeySequence(Qt::Key_P));
    Play3->setShortcutContext(Qt::WindowShortcut);
    Pause1 = MarkItem(Play2, QStringLiteral("Pause"));
    Pause1->setShortcut(QKeySequence(Qt::Key_E));
    Pause1->setShortcutContext(Qt::WindowShortcut);
    Stop1 = MarkItem(Play2, QStringLiteral("Stop"));
    Stop1->setShortcut(QKeySequence(Qt::Key_S));
    Stop1->setShortcutContext(Qt::WindowShortcut);
    Next1 = Play2->addAction(QStringLiteral("Next"));
    Prev1 = Play2->addAction(QStringLiteral("Prev"));
    Play2->addSeparator();
    JumpTo1 = Play2->addMenu(QStringLiteral("Jump To"));
    StartofList1 = JumpTo1->addAction(QStringLiteral("Start of List"));
    EndofList1 = JumpTo1->addAction(QStringLiteral("End of List"));
    Play2->addSeparator();
    VolumeMax1 = MarkItem(Play2, QStringLiteral("Volume Max"));
    VolumeMin1 = MarkItem(Play2, QStringLiteral("Volume Mute"));

    View1 = MainMenu1->addMenu(QStringLiteral("View"));
    ShowPlaylist1 = MarkItem(View1, QStringLiteral("Show Playlist"));
    HidePlaylist1 = MarkItem(View1, QStringLiteral("Hide Playlist"));
    View1->addSeparator();
    StopScrollingTitle1 = MarkItem(View1, QStringLiteral("Stop Scrolling Title"));

    About1 = MainMenu1->addMenu(QStringLiteral("About"));
    About2 = About1->addAction(ArtIcon(QStringLiteral("about.bmp")),
                               QStringLiteral("About ") + ProductTitle());
    About1->addSeparator();
    ReadmeFile1 =
        About1->addAction(ArtIcon(QStringLiteral("readme.bmp")), QStringLiteral("Readme File"));

    N2 = MainMenu1->addAction(QStringLiteral("||"));
    N2->setEnabled(false);

    Bonus1 = MainMenu1->addMenu(QStringLiteral("Bonus"));
    SoundCardDetections1 = Bonus1->addAction(QStringLiteral("Sound Card Detections"));
    VGACardDetections1 = Bonus1->addAction(QStringLiteral("VGA Card Detections"));
    Bonus1->addSeparator();
    YourWindowsInfo1 = Bonus1->addAction(QStringLiteral("Your Windows Info"));

    PopupMenu1 = new QMenu(this);
    InfoBox1 =
        PopupMenu1->addAction(ArtIcon(QStringLiteral("info.bmp")), QStringLiteral("Info Box"));
    PopupMenu1->addSeparator();
    Add1 = PopupMenu1->addAction(ArtIcon(QStringLiteral("add.bmp")), QStringLiteral("Tambah File"));
    Play1 = PopupMenu1->addAction(ArtIcon(QStringLiteral("play.bmp")), QStringLiteral("Mainkan"));
    Delete1 = PopupMenu1->addAction(ArtIcon(QStringLiteral("delete.bmp")), QStringLiteral("Hapus"));

    // A style is not passed on to a widget's children, so each menu takes it.
    auto* markStyle = new TMenuMarkStyle();
    markStyle->setParent(this);
    for (QMenu* menu : findChildren<QMenu*>()) {
        menu->setStyle(markStyle);
    }
}

void TForm1::ConnectHandlers() {
    const auto onClick = [this](QAbstractButton* button, auto handler) {
        connect(button, &QAbstractButton::clicked, this,
                guarded([this, handler](auto&&...) { (this->*handler)(); }, this));
    };
    onClick(BtnPlay, &TForm1::BtnPlayClick);
    onClick(btnpause, &TForm1::btnpauseClick);
    onClick(btnstop, &TForm1::btnstopClick);
    onClick(btnnext, &TForm1::btnnextClick);
    onClick(btnprev, &TForm1::btnprevClick);
    onClick(btn[19], &TForm1::btnnextClick);
    onClick(BitBtn1, &TForm1::BitBtn1Click);
    onClick(BitBtn2, &TForm1::BitBtn1Click);
    onClick(BitBtn3, &TForm1::BitBtn3Click);
    onClick(BitBtn4, &TForm1::BitBtn4Click);
    onClick(BitBtn6, &TForm1::BitBtn6Click);
    onClick(BitBtn7, &TForm1::BitBtn7Click);
    for (int k = 0; k < 19; ++k) {
        QPushButton* button = btn[k];
        connect(button, &QAbstractButton::clicked, this,
                guarded([this, button](auto&&...) { btn1Click(button); }, this));
    }
    // Setting the box from code runs its handler whenever the state changes.
    connect(CheckBox2, &QCheckBox::toggled, this,
            guarded([this](auto&&...) { CheckBox2Click(); }, this));
    // Loop back and the volume live in the playlist; the box and the slider show them.
    connect(Checkbox1, &QCheckBox::toggled, Playlist, &TPlaylist::SetLoopBack);
    connect(Playlist, &TPlaylist::LoopBackChanged, Checkbox1, &QCheckBox::setChecked);
    connect(Playlist, &TPlaylist::VolumeChanged, this,
            guarded([this](int volume) { Slider1->SetValue(volume); }, this));

    // The sliders and the list box run their own events through the general error handler
    // when the user causes them; a change made from code reaches the code that made it.
    Slider1->OnChange = [this](TSlider* sender) { Slider1Change(sender); };
    Slider2->OnChange = [this](TSlider* sender) { Slider2Change(sender); };
    Slider2->OnStartTracking = [this](TSlider* sender) { Slider2StartTracking(sender); };
    Slider2->OnStopTracking = [this](TSlider* sender) { Slider2StopTracking(sender); };

    List2->OnFileDropped = [this](TDnDListBox* sender, QString name, bool& accept) {
        List2FileDropped(sender, name, accept);
    };
    List2->OnKeyDown = [this](TDnDListBox* sender, int& key, Qt::KeyboardModifiers shift) {
        List2KeyDown(sender, key, shift);
    };
    List2->OnDblClick = [this](TDnDListBox* sender) { List2DblClick(sender); };
    List2->OnDrawItem = [this](TDnDListBox* control, QPainter& canvas, int index, const QRect& rect,
                               TOwnerDrawState state) {
        List2DrawItem(control, canvas, index, rect, state);
    };
    List2->OnMouseDown = [this](TDnDListBox* sender, Qt::MouseButton button,
                                Qt::KeyboardModifiers shift, int x,
                                int y) { List2MouseDown(sender, button, shift, x, y); };
    List2->OnMouseUp = [this](TDnDListBox* sender, Qt::MouseButton button,
                              Qt::KeyboardModifiers shift, int x,
                              int y) { List2MouseUp(sender, button, shift, x, y); };
    connect(
        List2, &QWidget::customContextMenuRequested, this,
        guarded([this](const QPoint& pos) { PopupMenu1->popup(List2->mapToGlobal(pos)); }, this));
}

void TForm1::ConnectMenus() {
    const struct {
        QAction* item;
        void (TForm1::*handler)();
    } commands[] = {
        {OpenFile1, &TForm1::OpenFile1Click},
        {Exit1, &TForm1::Exit1Click},
        {Play3, &TForm1::Play3Click},
        {Pause1, &TForm1::Pause1Click},
        {Stop1, &TForm1::Stop1Click},
        {Next1, &TForm1::Next1Click},
        {Prev1, &TForm1::Prev1Click},
        {StartofList1, &TForm1::StartofList1Click},
        {EndofList1, &TForm1::EndofList1Click},
        {VolumeMax1, &TForm1::VolumeMax1Click},
        {VolumeMin1, &TForm1::VolumeMin1Click},
        {ShowPlaylist1, &TForm1::ShowPlaylist1Click},
        {HidePlaylist1, &TForm1::HidePlaylist1Click},
        {StopScrollingTitle1, &TForm1::StopScrollingTitle1Click},
        {About2, &TForm1::About2Click},
        {ReadmeFile1, &TForm1::ReadmeFile1Click},
        {SoundCardDetections1, &TForm1::SoundCardDetections1Click},
        {VGACardDetections1, &TForm1::VGACardDetections1Click},
        {YourWindowsInfo1, &TForm1::YourWindowsInfo1Click},
        {InfoBox1, &TForm1::InfoBox1Click},
        {Add1, &TForm1::Add1Click},
        {Play1, &TForm1::Play1Click},
        {Delete1, &TForm1::Delete1Click},
    };
    for (const auto& command : commands) {
        const auto handler = command.handler;
        connect(command.item, &QAction::triggered, this,
                guarded([this, handler](auto&&...) { (this->*handler)(); }, this));
    }
}

// --- life cycle
// -------------------------------------------------------------------------------------

void TForm1::FormCreate() {
    {
        const TIniFile ini(IniFileName());
        const int top = ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("Top"), 100);
        const int left = ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("Left"), 100);
        move(left, top);
        setWindowTitle(
            ini.ReadString(QStringLiteral("Form"), QStringLiteral("Caption"), DefaultCaption()));
    }

    // The device owns its video window; the player window is its owner.
    MediaPlayer = new TMediaPlayer(this, audioSink_, videoSink_);
    MediaPlayer->setDeviceType(TMediaPlayer::dtAutoSelect);

    PositionTimer = new QTimer(this);
    PositionTimer->stop();
    connect(PositionTimer, &QTimer::timeout, this,
            guarded([this](auto&&...) { PositionTimerTick(); }, this));
    TitleTimer = new QTimer(this);
    TitleTimer->setInterval(1000);
    connect(TitleTimer, &QTimer::timeout, this,
            guarded([this](auto&&...) { TitleTimerTick(); }, this));
    TitleTimer->start();
}

// The open dialog is made on its first use: building it (icons, the file system model) costs
// more start-up time than the whole rest of the window.
QFileDialog& TForm1::FileOpenDialog() {
    if (OpenDialog == nullptr) {
        OpenDialog = new QFileDialog(this);
        OpenDialog->setNameFilter(QStringLiteral(
            "Korvi File multimedia (*.wav, *.mid,*.wmv,*.wma, *.mp3, *.mpg, *.mpeg, *.avi) "
            "(*.wav *.mid *.wmv *.wma *.mp3 *.mpg *.mpeg *.avi)"));
        OpenDialog->setWindowTitle(QStringLiteral("Open Korvi Multimedia"));
        OpenDialog->setFileMode(QFileDialog::ExistingFile);
        OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
        OpenDialog->setSizeGripEnabled(true);
        // The box of types shows the filter's text as it is; the pattern list after it is only
        // for filtering.
        OpenDialog->setOption(QFileDialog::HideNameFilterDetails, true);
    }
    return *OpenDialog;
}

void TForm1::FormShow() {
    tombol(false, false, false);
    BitBtn5->setText(kAuthorCredit);

    Playlist->Load(StateFiles());
    if (Playlist->Count() > 0) {
        Playlist->RestoreCurrentIndex();
        tombol_aktif();
        tombol(false, false, false);
        Labelnomer->setText(QStringLiteral("[%1]").arg(CurrentIndex + 1));
        MediaPlayer->setFileName(Playlist->Path(CurrentIndex));
        aktif();
        labeldurasi->setText(FormatTime(MediaPlayer->Length()));
        labeltitle->setText(Playlist->Name(CurrentIndex) + kTitleTail);
    }

    Playlist->RestoreLoopBack();
    if (Playlist->RestoredPlaylistShown()) {
        SetClientWidth(670);
        CheckBox2->setChecked(true);
    } else {
        SetClientWidth(375);
        CheckBox2->setChecked(false);
    }
    Playlist->RestoreVolume();
}

void TForm1::FormClose() {
    {
        TIniFile ini(IniFileName());
        ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Top"), y());
        ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Left"), x());
        ini.WriteString(QStringLiteral("Form"), QStringLiteral("Caption"), windowTitle());
    }
    Playlist->Save(StateFiles(), CheckBox2->isChecked());
}

void TForm1::FormDestroy() {
    if (MediaPlayer) {
        MediaPlayer->Close();
    }
    delete MediaPlayer;
    MediaPlayer = nullptr;
    delete PositionTimer;
    PositionTimer = nullptr;
    delete TitleTimer;
    TitleTimer = nullptr;
    delete OpenDialog;
    OpenDialog = nullptr;
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Restoring from the task bar is no new show.
    if (!event->spontaneous()) {
        guarded([this](auto&&...) { FormShow(); }, this)();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool saved = false;
    guarded(
        [this, &saved] {
            FormClose();
            saved = true;
        },
        this)();
    // A close whose state couldn't be written doesn't complete: the window stays open.
    event->setAccepted(saved);
    if (saved) {
        emit FormClosed();
    }
}

// --- window-state helpers
// -----------------------------------------------------------------------------

void TForm1::aktif() {
    if (!MediaPlayer->FileName().isEmpty()) {
        MediaPlayer->Open();
    }
}

void TForm1::tombol(bool play, bool pause, bool stop) {
    const struct {
        QPushButton* button;
        bool active;
        const char* normal;
        const char* lit;
    } glyphs[] = {{BtnPlay, play, "play1.bmp", "play2.bmp"},
                  {btnpause, pause, "pause1.bmp", "pause2.bmp"},
                  {btnstop, stop, "stop.bmp", "stop1.bmp"}};
    for (const auto& g : glyphs) {
        // Read from disk at every call, so a changed glyph file shows at once.
        const QString path = GlyphFileName(QString::fromLatin1(g.active ? g.lit : g.normal));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                                  .arg(path, file.errorString())
                                  .toStdString());
        }
        const QImage image = QImage::fromData(file.readAll(), "BMP");
        if (image.isNull()) {
            throw EFOpenError(QStringLiteral("Bitmap image is not valid").toStdString());
        }
        // A high-density screen also takes the glyph drawn at twice the size, when it is there.
        const QString fine = HighDensityFile(path);
        g.button->setIcon(GlyphIcon(image, fine == path ? QImage() : QImage(fine)));
        g.button->setIconSize(image.size());
        g.button->setProperty("GlyphFile", path);
    }
}

void TForm1::tombol_aktif() {
    for (int k = 1; k <= 19; ++k) {
        const bool current = CurrentIndex == k - 1;
        const bool present = Playlist->Count() >= k;
        SetTextColour(btn[k - 1], current ? clRed : present ? clNavy : clSilver);
        btn[k - 1]->setAccessibleDescription(QString::fromUtf8(QuickPlayState(current, present)));
    }
}

void TForm1::bacainfo() {
    FillInfoLines(*ListBox1, MediaPlayer->FileName(), labeltitle->text());
}

void TForm1::SetModeText(const QString& text, const QColor& colour) {
    LabelMode->setText(text);
    SetTextColour(LabelMode, colour);
}

void TForm1::SetPlayMarks(bool play, bool pause, bool stop) {
    Play3->setChecked(play);
    Pause1->setChecked(pause);
    Stop1->setChecked(stop);
    emit PlayStateChanged();
}

// --- playback
// -----------------------------------------------------------------------------------------------

void TForm1::korvi_play() {
    tombol_aktif();
    tombol(true, false, false);
    Slider2->setEnabled(true);
    Labelnomer->setText(QStringLiteral("[%1]").arg(CurrentIndex + 1));
    MediaPlayer->setFileName(Playlist->Path(CurrentIndex));
    aktif();
    SetModeText(QStringLiteral("Playing"), clAqua);
    labeldurasi->setText(FormatTime(MediaPlayer->Length()));
    labeltitle->setText(Playlist->Name(CurrentIndex) + kTitleTail);
    MediaPlayer->Play();
    MediaPlayer->SetVolume(Slider1->Value());
    if (MediaPlayer->Mode() != TMediaPlayer::mpPaused) {
        PositionTimer->setInterval(250);
        const int length = ToInt(MediaPlayer->Length());
        Slider2->SetMaxValue(length);
        // A bar whose range is 0..0 shows a busy animation: a track of length 0 keeps it still.
        ProgressBar1->setMaximum(std::max(length, 1));
    }
    PositionTimer->start();
    List2->viewport()->update();
    bacainfo();
    SetPlayMarks(true, false, false);
}

void TForm1::PositionTimerTick() {
    Slider2->SetValue(ToInt(MediaPlayer->Position()));
    // The track is over when the device says it stopped at the end, not when the texts first
    // match: that would cut up to a second off every track and skip on a pause in the last one.
    if (MediaPlayer->DeviceId() == 0 || MediaPlayer->Mode() != TMediaPlayer::mpStopped) {
        return;
    }
    const QString failure = MediaPlayer->ErrorText();
    if (failure.isEmpty()) {
        if (MediaPlayer->Position() >= MediaPlayer->Length()) {
            Go(Playlist->Next());
        }
        return;
    }
    // A device error ends the track there. The list moves on before the error is shown, so no
    // tick finds the stopped device again while the message is open; an error of the advance
    // itself is shown after it.
    std::exception_ptr advanceError;
    try {
        Go(Playlist->Next());
    } catch (const std::exception&) {
        advanceError = std::current_exception();
    }
    TApplication::instance().HandleException(EMCIDeviceError(failure), this);
    if (advanceError) {
        std::rethrow_exception(advanceError);
    }
}

void TForm1::Go(TPlaylist::TStep step) {
    // The list is asked to select the entry moved to first; one past either end selects none.
    List2->SetItemIndex(step == TPlaylist::TStep::Play ? CurrentIndex : -1);
    if (step == TPlaylist::TStep::Stop) {
        btnstopClick();
        return;
    }
    korvi_play();
    List2->SetItemIndex(CurrentIndex);
}

void TForm1::btnnextClick() {
    if (Playlist->Count() > 0) {
        Go(Playlist->Next());
    }
}

void TForm1::btnprevClick() {
    if (Playlist->Count() > 0) {
        Go(Playlist->Previous());
    }
}

void TForm1::BtnPlayClick() {
    if (Playlist->Count() == 0) {
        return;
    }
    const TMediaPlayer::TMPModes mode = MediaPlayer->Mode();
    if (mode == TMediaPlayer::mpPaused) {
        MediaPlayer->PlayFrom(Slider2->Value());
        SetModeText(QStringLiteral("Playing"), clAqua);
        tombol(true, false, false);
        PositionTimer->start();
        Slider2->setEnabled(true);
        SetPlayMarks(true, false, false);
    } else if (mode != TMediaPlayer::mpPlaying) {
        korvi_play();
    }
    List2->SetItemIndex(CurrentIndex);
}

void TForm1::btnpauseClick() {
    if (MediaPlayer->FileName().isEmpty() || MediaPlayer->Mode() == TMediaPlayer::mpPaused) {
        return;
    }
    tombol(false, true, false);
    MediaPlayer->Pause();
    SetModeText(QStringLiteral("Paused"), clYellow);
    SetPlayMarks(false, true, false);
}

void TForm1::btnstopClick() {
    if (MediaPlayer->FileName().isEmpty()) {
        return;
    }
    tombol(false, false, true);
    MediaPlayer->Stop();
    SetModeText(QStringLiteral("Stoped"), clWhite);
    PositionTimer->stop();
    Labelwaktu->setText(QStringLiteral("00:00"));
    Slider2->setEnabled(false);
    Slider2->SetValue(0);
    SetPlayMarks(false, false, true);
}

void TForm1::btn1Click(QPushButton* sender) {
    const int index = sender->property("Tag").toInt() - 1;
    if (!Playlist->Choose(index)) {
        return;
    }
    korvi_play();
    List2->SetItemIndex(index);
}

void TForm1::Slider2Change(TSlider* sender) {
    Labelwaktu->setText(FormatTime(sender->Value()));
    ProgressBar1->setValue(sender->Value());
}

void TForm1::Slider2StartTracking(TSlider*) {
    dragging_ = false;
    const TMediaPlayer::TMPModes mode = MediaPlayer->Mode();
    // A playing device pauses for the drag; a paused one stays paused and is moved on release.
    if (mode != TMediaPlayer::mpPaused) {
        MediaPlayer->Pause();  // raises "No MCI device open" after a failed open
    }
    resumeAfterDrag_ = mode != TMediaPlayer::mpPaused;
    // The poll would pull the thumb back to the device's position while it is dragged.
    PositionTimer->stop();
    dragging_ = true;
    emit PlayStateChanged();
}

void TForm1::Slider2StopTracking(TSlider* sender) {
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    MediaPlayer->PlayFrom(sender->Value());
    if (!resumeAfterDrag_) {
        MediaPlayer->Pause();
    }
    PositionTimer->start();
    emit PlayStateChanged();
}

void TForm1::Slider1Change(TSlider* sender) {
    const int volume = sender->Value();
    Playlist->SetVolume(volume);
    MediaPlayer->SetVolume(volume);
    Gauge1->SetProgress(volume / 10);
    if (volume == 1000) {
        Label2->setText(QStringLiteral("Max Vol."));
        VolumeMax1->setChecked(true);
        VolumeMin1->setChecked(false);
    } else if (volume == 0) {
        Label2->setText(QStringLiteral("Min Vol."));
        VolumeMax1->setChecked(false);
        VolumeMin1->setChecked(true);
    } else {
        Label2->setText(QStringLiteral("Vol. %1").arg(volume / 10));
        VolumeMax1->setChecked(false);
        VolumeMin1->setChecked(false);
    }
}

void TForm1::TitleTimerTick() {
    const QString text = labeltitle->text();
    if (!text.isEmpty()) {
        labeltitle->setText(text.mid(1) + text.front());
    }
}

// --- playlist
// ----------------------------------------------------------------------------------------------

void TForm1::BitBtn1Click() {
    QFileDialog& dialog = FileOpenDialog();
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QString chosen = dialog.selectedFiles().value(0);
    if (chosen.isEmpty()) {
        return;
    }
    // The dialog shows a name that is not UTF-8 with U+FFFD; the file it stands for is looked up,
    // and a choice between two files that look alike is refused rather than guessed.
    const QString name = NameFromDialog(chosen);
    if (name.isEmpty()) {
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(chosen, QString::fromStdString(UniErrorText(EILSEQ)))
                              .toStdString());
    }
    Playlist->Append(name);
    if (MediaPlayer->FileName().isEmpty()) {
        korvi_play();
    } else {
        tombol_aktif();
    }
}

void TForm1::List2FileDropped(TDnDListBox*, const QString& FileName, bool&) {
    Playlist->Append(FileName);
    if (MediaPlayer->FileName().isEmpty()) {
        korvi_play();
    }
    tombol_aktif();
}

void TForm1::BitBtn3Click() {
    const int index = List2->ItemIndex();
    if (index < 0) {
        return;
    }
    Playlist->Delete(index);
    tombol_aktif();
}

void TForm1::List2KeyDown(TDnDListBox*, int& key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) {
        BitBtn3Click();
    }
}

void TForm1::BitBtn4Click() {
    Playlist->Clear();
    tombol_aktif();
}

void TForm1::List2DblClick(TDnDListBox*) {
    if (!Playlist->Choose(List2->ItemIndex())) {
        return;
    }
    korvi_play();
}

void TForm1::List2DrawItem(TDnDListBox* control, QPainter& canvas, int index, const QRect& rect,
                           TOwnerDrawState state) {
    const bool selected = state.testFlag(odSelected);
    canvas.fillRect(rect, selected ? clBlack : control->palette().color(QPalette::Base));
    const bool current = index == CurrentIndex;
    canvas.setPen(current ? (selected ? clYellow : clRed) : (selected ? clWhite : clNavy));
    canvas.setFont(control->font());
    canvas.drawText(rect.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    control->Strings(index));
    if (state.testFlag(odFocused)) {
        QStyleOptionFocusRect option;
        option.initFrom(control);
        option.rect = rect;
        option.backgroundColor = selected ? clBlack : control->palette().color(QPalette::Base);
        control->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &canvas, control);
    }
}

void TForm1::List2MouseDown(TDnDListBox*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    DragFromIndex = List2->ItemIndex();
}

void TForm1::List2MouseUp(TDnDListBox*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (List2->ItemIndex() < 0) {
        return;
    }
    DragToIndex = List2->ItemIndex();
    const int before = CurrentIndex;
    if (!Playlist->Exchange(DragFromIndex, DragToIndex)) {
        return;
    }
    List2->SetItemIndex(DragToIndex);
    if (CurrentIndex != before) {
        Labelnomer->setText(QStringLiteral("[%1]").arg(CurrentIndex + 1));
        tombol_aktif();
        List2->viewport()->update();
    }
}

void TForm1::CheckBox2Click() {
    const bool shown = CheckBox2->isChecked();
    SetClientWidth(shown ? 697 : 385);
    ShowPlaylist1->setChecked(shown);
    HidePlaylist1->setChecked(!shown);
}

// --- menu commands
// -------------------------------------------------------------------------------------------

TForm2& TForm1::WavInfoBox() {
    return FixedWindow(Form2, this);
}

TForm3& TForm1::AboutWindow() {
    return FixedWindow(Form3, this);
}

TForm6& TForm1::BonusWindow() {
    return FixedWindow(Form6, this);
}

TForm7& TForm1::ReadmeWindow() {
    return FixedWindow(Form7, this, programDir_);
}

void TForm1::OpenFile1Click() {
    BitBtn1->click();
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::Play3Click() {
    BtnPlay->click();
}

void TForm1::Pause1Click() {
    btnpause->click();
}

void TForm1::Stop1Click() {
    btnstop->click();
}

void TForm1::Next1Click() {
    btnnext->click();
}

void TForm1::Prev1Click() {
    btnprev->click();
}

void TForm1::JumpTo(int index) {
    if (!Playlist->Choose(index)) {
        return;
    }
    List2->SetItemIndex(index);
    korvi_play();
}

void TForm1::StartofList1Click() {
    JumpTo(0);
}

void TForm1::EndofList1Click() {
    JumpTo(Playlist->Count() - 1);
}

void TForm1::VolumeMax1Click() {
    Slider1->SetValue(1000);
}

void TForm1::VolumeMin1Click() {
    Slider1->SetValue(0);
}

void TForm1::ShowPlaylist1Click() {
    SetClientWidth(697);
    CheckBox2->setChecked(true);
}

void TForm1::HidePlaylist1Click() {
    SetClientWidth(385);
    CheckBox2->setChecked(false);
}

void TForm1::StopScrollingTitle1Click() {
    if (TitleTimer->isActive()) {
        TitleTimer->stop();
    } else {
        TitleTimer->start();
    }
    // The mark shows while the title stands still.
    StopScrollingTitle1->setChecked(!TitleTimer->isActive());
}

void TForm1::About2Click() {
    BitBtn7->click();
}

void TForm1::BitBtn7Click() {
    AboutWindow().exec();
}

void TForm1::ReadmeFile1Click() {
    ReadmeWindow().exec();
}

void TForm1::SoundCardDetections1Click() {
    BonusWindow().ShowSoundCardReport();
}

void TForm1::VGACardDetections1Click() {
    BonusWindow().ShowDisplayAdapterReport();
}

void TForm1::YourWindowsInfo1Click() {
    ShowSystemInfoReport(this);
}

void TForm1::InfoBox1Click() {
    RunInfoBoxForSelection(*list1, *List2, this, WavInfoBox());
}

void TForm1::BitBtn6Click() {
    InfoBox1->trigger();
}

void TForm1::Add1Click() {
    BitBtn1->click();
}

void TForm1::Play1Click() {
    List2DblClick(List2);
}

void TForm1::Delete1Click() {
    BitBtn3->click();
}
