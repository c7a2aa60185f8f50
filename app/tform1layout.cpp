#include "app/tform1layout.h"

#include <QFile>
#include <QFileDialog>
#include <QLayout>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <span>

#include "app/tjpegimage.h"
#include "app/tmenumarkstyle.h"
#include "app/tplaylistmodel.h"
#include "controls/widgetkit.h"
#include "platform/highdensity.h"
#include "tags/efileerror.h"

namespace {

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

QIcon ArtIcon(const QString& name) {
    const QString file = QStringLiteral(":/art/buttons/") + name;
    return TForm1Layout::GlyphIcon(QImage(file), QImage(DoubleSizeName(file)));
}

// A menu item whose check mark only the program sets: a click doesn't toggle it.
QAction* MarkItem(QMenu* menu, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setCheckable(true);
    QObject::connect(action, &QAction::triggered, action,
                     [action](bool checked) { action->setChecked(!checked); });
    return action;
}

// A row of bitmap buttons at their fixed places, each with its hint and, if any, its glyph.
struct TButtonSpec {
    QPushButton** button;
    const char* name;
    const char* caption;
    const char* hint;
    const char* icon;
    QRect place;
};

void MakeButtons(QWidget* panel, std::span<const TButtonSpec> buttons) {
    for (const TButtonSpec& b : buttons) {
        *b.button = MakeButton(panel, b.name, QString::fromLatin1(b.caption), b.place);
        (*b.button)->setToolTip(QString::fromLatin1(b.hint));
        if (b.icon) {
            (*b.button)->setIcon(ArtIcon(QString::fromLatin1(b.icon)));
        }
    }
}

}  // namespace

// A bitmap-button glyph: the bottom-left pixel's colour is transparent. The picture drawn at
// twice the size, when there is one, serves high-density screens; Qt picks one when it paints.
QIcon TForm1Layout::GlyphIcon(const QImage& image, const QImage& doubleSize) {
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

void TForm1Layout::Compose(QMainWindow& window, QAbstractItemModel& rows) {
    client_ = new QWidget(&window);
    client_->setFixedSize(697, 322);
    window.setCentralWidget(client_);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    CreatePlayerSide(client_);
    CreatePlaylistSide(client_, rows);
    CreateMenus(window);
}

void TForm1Layout::CreatePlayerSide(QWidget* client) {
    // At the left edge, so the whole panel fits the 375-pixel window with the playlist hidden.
    Panel5 = MakePanel(client, "Panel5", QRect(0, 6, 374, 310), true);
    // The texts that change while a track plays lie on the banner, which lies on this panel.
    // Both fill themselves (in the colour that showed through them), so a repaint of a text
    // stops at the banner instead of painting the panel and the window beneath it.
    Panel5->setAutoFillBackground(true);
    Image1 = new QLabel(Panel5);
    Image1->setGeometry(7, 7, 359, 105);
    Image1->setAutoFillBackground(true);
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
    CreateTransport();
    CreateSwitches();
}

void TForm1Layout::CreateTransport() {
    const TButtonSpec buttons[] = {
        {&btnprev, "btnprev", "", "Track list sebelumnya", "prev.bmp", {12, 132, 40, 25}},
        {&BtnPlay, "BtnPlay", "", "Mainkan filelist", nullptr, {52, 132, 40, 25}},
        {&btnpause, "btnpause", "", "Pause", nullptr, {92, 132, 40, 25}},
        {&btnstop, "btnstop", "", "Stop", nullptr, {132, 132, 40, 25}},
        {&btnnext, "btnnext", "", "Mainkan track list selanjutnya", "next.bmp", {172, 132, 40, 25}},
        {&BitBtn1, "BitBtn1", "", "Add filelist", "add.bmp", {218, 132, 40, 25}},
    };
    MakeButtons(Panel5, buttons);

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
}

void TForm1Layout::CreateSwitches() {
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

void TForm1Layout::CreatePlaylistSide(QWidget* client, QAbstractItemModel& rows) {
    Panel6 = MakePanel(client, "Panel6", QRect(385, 6, 307, 310), true);
    Panel6->setAutoFillBackground(true);  // the progress bar's repaints stop here, as above

    List2 = new TDnDListBox(Panel6);
    List2->setModel(&rows);
    // Made by the model, so the views, destroyed first, never outlive it.
    List2->setSelectionModel(new QItemSelectionModel(&rows, &rows));
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
    const TButtonSpec buttons[] = {
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
    MakeButtons(Panel3, buttons);
    BitBtn5 = MakeButton(Panel3, "BitBtn5", QString(), QRect(237, 4, 55, 24));
    BitBtn5->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true, true));
    BitBtn5->setEnabled(false);

    // Every button but the disabled credit shows the hand and takes the focus by the keyboard
    // only, as bitmap buttons do.
    for (QPushButton* button : client->findChildren<QPushButton*>()) {
        if (button != BitBtn5) {
            button->setCursor(Qt::PointingHandCursor);
            button->setFocusPolicy(Qt::TabFocus);
        }
    }
}

void TForm1Layout::CreateMenus(QMainWindow& window) {
    MainMenu1 = window.menuBar();
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

    PopupMenu1 = new QMenu(&window);
    InfoBox1 =
        PopupMenu1->addAction(ArtIcon(QStringLiteral("info.bmp")), QStringLiteral("Info Box"));
    PopupMenu1->addSeparator();
    Add1 = PopupMenu1->addAction(ArtIcon(QStringLiteral("add.bmp")), QStringLiteral("Tambah File"));
    Play1 = PopupMenu1->addAction(ArtIcon(QStringLiteral("play.bmp")), QStringLiteral("Mainkan"));
    Delete1 = PopupMenu1->addAction(ArtIcon(QStringLiteral("delete.bmp")), QStringLiteral("Hapus"));

    // A style is not passed on to a widget's children, so each menu takes it.
    auto* markStyle = new TMenuMarkStyle();
    markStyle->setParent(&window);
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        menu->setStyle(markStyle);
    }
}

void TForm1Layout::SetGlyph(QAbstractButton* button, const QString& path) {
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
    button->setIcon(GlyphIcon(image, fine == path ? QImage() : QImage(fine)));
    button->setIconSize(image.size());
}

int TForm1Layout::ClientWidth() const {
    return client_->width();
}

int TForm1Layout::ClientHeight() const {
    return client_->height();
}

void TForm1Layout::SetClientWidth(int width) {
    client_->setFixedSize(width, client_->height());
    // The window's layout keeps the window fixed to the client area plus the menu bar.
    QWidget* window = client_->window();
    if (window->layout()) {
        window->layout()->activate();
    }
    window->adjustSize();
}

// The open dialog is made on its first use: building it (icons, the file system model) costs
// more start-up time than the whole rest of the window.
QFileDialog& TForm1Layout::FileOpenDialog() {
    if (OpenDialog == nullptr) {
        OpenDialog = new QFileDialog(client_->window());
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

void TForm1Layout::ShowGlyphs(const QString& folder, bool play, bool pause, bool stop) {
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
        const QString path = folder + QString::fromLatin1(g.active ? g.lit : g.normal);
        SetGlyph(g.button, path);
        g.button->setProperty("GlyphFile", path);
    }
}

void TForm1Layout::DrawEntry(TDnDListBox* control, QPainter& canvas, int index, const QRect& rect,
                             TOwnerDrawState state, bool current) {
    const bool selected = state.testFlag(odSelected);
    canvas.fillRect(rect, selected ? clBlack : control->palette().color(QPalette::Base));
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
