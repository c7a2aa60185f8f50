#include "app/tform1.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPainter>
#include <QShowEvent>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <limits>

#include "app/connecthandlers.h"
#include "app/describecontrols.h"
#include "app/tplaylistmodel.h"
#include "controls/widgetkit.h"
#include "device/emcideviceerror.h"
#include "infobox/infodispatch.h"
#include "infobox/tform2.h"
#include "platform/filenames.h"
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
    Compose(*this, *new TPlaylistModel(*Playlist, this));
    ConnectHandlers(*this);
    DescribeControls(*this);
    FormCreate();
}

TForm1::~TForm1() {
    guarded([this](auto&&...) { FormDestroy(); })();
}

// ---- files and geometry

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

// ---- life cycle

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

void TForm1::FormShow() {
    tombol(false, false, false);
    BitBtn5->setText(kAuthorCredit);

    Playlist->Load(TPlaylist::TFiles::In(programDir_));
    if (Playlist->Count() > 0) {
        Playlist->RestoreCurrentIndex();
        tombol_aktif();
        tombol(false, false, false);
        LoadCurrent();
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

void TForm1::WarmUpCurrentEntry() const {
    try {
        TPlaylist saved;
        saved.Load(TPlaylist::TFiles::In(programDir_));
        if (saved.Count() == 0) {
            return;
        }
        saved.RestoreCurrentIndex();
        // The device refuses what is not a regular file, so a pipe cannot hold the start-up.
        TMediaPlayer device(nullptr, QStringLiteral("fakesink"), QStringLiteral("fakesink"));
        device.setFileName(saved.Path(saved.CurrentIndex()));
        device.Open();
    } catch (const std::exception&) {
        // the show reads the same files and opens the same entry, and says what is wrong
    }
}

void TForm1::FormClose() {
    {
        TIniFile ini(IniFileName());
        ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Top"), y());
        ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Left"), x());
        ini.WriteString(QStringLiteral("Form"), QStringLiteral("Caption"), windowTitle());
    }
    Playlist->Save(TPlaylist::TFiles::In(programDir_), CheckBox2->isChecked());
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

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        guarded(
            [this] {
                CatchUpPosition();
                CatchUpTitle();
            },
            this)();
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

// ---- window-state helpers

void TForm1::aktif() {
    if (!MediaPlayer->FileName().isEmpty()) {
        MediaPlayer->Open();
    }
}

void TForm1::tombol(bool play, bool pause, bool stop) {
    ShowGlyphs(programDir_ + QStringLiteral("/Tombol/"), play, pause, stop);
}

void TForm1::tombol_aktif() {
    for (int k = 1; k <= 19; ++k) {
        const bool current = CurrentIndex == k - 1;
        const bool present = Playlist->Count() >= k;
        SetTextColour(btn[k - 1], current ? clRed : present ? clNavy : clSilver);
        btn[k - 1]->setAccessibleDescription(QString::fromUtf8(QuickPlayState(current, present)));
    }
}

// The number, the device and the texts of the current entry; a file the device can't open ends
// it after the number.
void TForm1::LoadCurrent() {
    Labelnomer->setText(QStringLiteral("[%1]").arg(CurrentIndex + 1));
    MediaPlayer->setFileName(Playlist->Path(CurrentIndex));
    aktif();
    labeldurasi->setText(FormatTime(MediaPlayer->Length()));
    labeltitle->setText(Playlist->Name(CurrentIndex) + kTitleTail);
    titleRotationsBehind_ = 0;
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

// ---- playback

void TForm1::korvi_play() {
    tombol_aktif();
    tombol(true, false, false);
    Slider2->setEnabled(true);
    LoadCurrent();
    SetModeText(QStringLiteral("Playing"), clAqua);
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
    if (isMinimized()) {
        positionBehind_ = true;
    } else {
        positionBehind_ = false;
        Slider2->SetValue(ToInt(MediaPlayer->Position()));
        CatchUpTitle();
    }
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
    CatchUpPosition();  // a resume starts from the slider's place
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
    positionBehind_ = false;
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
    Label2->setText(volume == 1000 ? QStringLiteral("Max Vol.")
                    : volume == 0  ? QStringLiteral("Min Vol.")
                                   : QStringLiteral("Vol. %1").arg(volume / 10));
    VolumeMax1->setChecked(volume == 1000);
    VolumeMin1->setChecked(volume == 0);
}

void TForm1::TitleTimerTick() {
    ++titleRotationsBehind_;
    // While the position is polled, the turn waits for its next tick (a quarter second at most):
    // one repaint of the window for both instead of one more a second.
    if (!isMinimized() && !PositionTimer->isActive()) {
        CatchUpTitle();
    }
}

void TForm1::CatchUpTitle() {
    const QString text = labeltitle->text();
    if (!text.isEmpty() && titleRotationsBehind_ > 0) {
        const auto turn = static_cast<qsizetype>(titleRotationsBehind_) % text.size();
        labeltitle->setText(text.mid(turn) + text.left(turn));
    }
    titleRotationsBehind_ = 0;
}

void TForm1::CatchUpPosition() {
    if (positionBehind_) {
        positionBehind_ = false;
        Slider2->SetValue(ToInt(MediaPlayer->Position()));
    }
}

// ---- playlist

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
    DrawEntry(control, canvas, index, rect, state, index == CurrentIndex);
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

// ---- menu commands

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

void TForm1::JumpTo(int index) {
    if (!Playlist->Choose(index)) {
        return;
    }
    List2->SetItemIndex(index);
    korvi_play();
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
    TitleTimer->isActive() ? TitleTimer->stop() : TitleTimer->start();
    // The mark shows while the title stands still.
    StopScrollingTitle1->setChecked(!TitleTimer->isActive());
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
