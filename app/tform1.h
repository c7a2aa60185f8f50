#pragma once

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <cstdint>

#include "app/tgauge.h"
#include "app/tplaylist.h"
#include "controls/tdndlistbox.h"
#include "controls/tslider.h"
#include "device/tmediaplayer.h"

class TForm2;
class TForm3;
class TForm6;
class TForm7;

// The player window: the transport, the sliders, the quick-play buttons and the playlist, with
// its state kept in files beside the program.
//
// The program folder and the media device's sinks are constructor arguments so the window can
// run against a temporary folder and play into fakesink.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QString programDir = QCoreApplication::applicationDirPath(),
                    QString audioSink = QStringLiteral("autoaudiosink"),
                    QString videoSink = QStringLiteral("autovideosink"), QWidget* parent = nullptr);
    ~TForm1() override;

    static QString DefaultCaption();  // the product's title
    // "%2.2d:%2.2d": whole minutes (at least two digits), then seconds of the minute.
    static QString FormatTime(std::int64_t ms);
    // The part of a path after its last "/".
    static QString DisplayName(const QString& path) { return TPlaylist::DisplayName(path); }

    // Files beside the program.
    const QString& ProgramDir() const { return programDir_; }
    QString IniFileName() const;  // the program's path plus ".INI"
    QString PlayListFileName() const;
    QString KorviListFileName() const;
    QString SettingsFileName() const;
    TPlaylist::TFiles StateFiles() const;
    QString GlyphFileName(const QString& name) const;  // "Tombol/<name>"

    // Width of the client area (the window below the menu bar).
    int ClientWidth() const;
    void SetClientWidth(int width);
    int ClientHeight() const;

    // Life cycle.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();

    // Window-state helpers.
    void aktif();
    void tombol(bool play, bool pause, bool stop);
    void tombol_aktif();
    void korvi_play();
    // Writes the four info lines of the current file; filled by the info-box dispatch.
    void bacainfo();

    // Playback.
    void PositionTimerTick();
    void TitleTimerTick();
    void BtnPlayClick();
    void btnpauseClick();
    void btnstopClick();
    void btnnextClick();
    void btnprevClick();
    void btn1Click(QPushButton* sender);
    void Slider1Change(TSlider* sender);
    void Slider2Change(TSlider* sender);
    void Slider2StartTracking(TSlider* sender);
    void Slider2StopTracking(TSlider* sender);

    // Playlist.
    void BitBtn1Click();
    void List2FileDropped(TDnDListBox* sender, const QString& FileName, bool& accept);
    void BitBtn3Click();
    void List2KeyDown(TDnDListBox* sender, int& key, Qt::KeyboardModifiers shift);
    void BitBtn4Click();
    void List2DblClick(TDnDListBox* sender);
    void List2DrawItem(TDnDListBox* control, QPainter& canvas, int index, const QRect& rect,
                       TOwnerDrawState state);
    void List2MouseDown(TDnDListBox* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                        int x, int y);
    void List2MouseUp(TDnDListBox* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                      int x, int y);
    void CheckBox2Click();

    // Menu commands and the buttons that lead to them.
    void OpenFile1Click();
    void Exit1Click();
    void Play3Click();
    void Pause1Click();
    void Stop1Click();
    void Next1Click();
    void Prev1Click();
    void StartofList1Click();
    void EndofList1Click();
    void VolumeMax1Click();
    void VolumeMin1Click();
    void ShowPlaylist1Click();
    void HidePlaylist1Click();
    void StopScrollingTitle1Click();
    void About2Click();
    void BitBtn7Click();
    void ReadmeFile1Click();
    void SoundCardDetections1Click();
    void VGACardDetections1Click();
    void YourWindowsInfo1Click();
    void InfoBox1Click();
    void BitBtn6Click();
    void Add1Click();
    void Play1Click();
    void Delete1Click();

    // The fixed windows, created once at start-up and owned by this window: the WAV info box,
    // About, the "Bonus" window and the readme. One that start-up did not create is made on its
    // first use.
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm2& WavInfoBox();
    TForm3& AboutWindow();
    QFileDialog& FileOpenDialog();
    TForm6& BonusWindow();
    TForm7& ReadmeWindow();

    // State.
    TMediaPlayer* MediaPlayer = nullptr;
    QTimer* PositionTimer = nullptr;
    QTimer* TitleTimer = nullptr;
    QFileDialog* OpenDialog = nullptr;  // made by FileOpenDialog on first use
    // The entries, the current one, loop back and the volume; the window shows them.
    TPlaylist* const Playlist;
    TPlaylist::TCurrentIndex CurrentIndex;
    std::int32_t DragFromIndex = 0;
    std::int32_t DragToIndex = 0;

    // Player side.
    QFrame* Panel5;
    QLabel* Image1;
    QLabel* Labelwaktu;
    QLabel* Label1;
    QLabel* labeldurasi;
    QLabel* LabelMode;
    QLabel* Label3;
    TGauge* Gauge1;
    QLabel* Label4;
    QLabel* Labelnomer;
    QLabel* labeltitle;
    TSlider* Slider2;
    QPushButton* BitBtn7;
    QFrame* Panel2;
    QCheckBox* CheckBox2;
    QLabel* Label5;
    QCheckBox* Checkbox1;
    QLabel* Label6;
    QFrame* Panel1;
    QLabel* Image2;
    TSlider* Slider1;
    QLabel* Label2;
    QPushButton* btnprev;
    QPushButton* BtnPlay;
    QPushButton* btnpause;
    QPushButton* btnstop;
    QPushButton* btnnext;
    QPushButton* BitBtn1;
    QFrame* PanelQuick;
    std::array<QPushButton*, 20> btn{};  // btn[k - 1] is button k; btn[19] is ">>"
    QFrame* Panel4;
    QListWidget* ListBox1;

    // Playlist side.
    QFrame* Panel6;
    TDnDListBox* List2;  // shows the playlist
    TDnDListBox* list1;  // hidden: the full paths, with the same selection
    QProgressBar* ProgressBar1;
    QFrame* Panel3;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* BitBtn6;
    QPushButton* BitBtn5;

    // Menus.
    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* OpenFile1;
    QAction* Exit1;
    QMenu* Play2;
    QAction* Play3;
    QAction* Pause1;
    QAction* Stop1;
    QAction* Next1;
    QAction* Prev1;
    QMenu* JumpTo1;
    QAction* StartofList1;
    QAction* EndofList1;
    QAction* VolumeMax1;
    QAction* VolumeMin1;
    QMenu* View1;
    QAction* ShowPlaylist1;
    QAction* HidePlaylist1;
    QAction* StopScrollingTitle1;
    QMenu* About1;
    QAction* About2;
    QAction* ReadmeFile1;
    QAction* N2;
    QMenu* Bonus1;
    QAction* SoundCardDetections1;
    QAction* VGACardDetections1;
    QAction* YourWindowsInfo1;
    QMenu* PopupMenu1;
    QAction* InfoBox1;
    QAction* Add1;
    QAction* Play1;
    QAction* Delete1;

signals:
    // The close completed (the state was written); the program ends.
    void FormClosed();
    // The play state shown (the mode text, glyphs and marks) changed, or a drag of the position
    // thumb paused or resumed the device.
    void PlayStateChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreatePlayerSide(QWidget* client);
    void CreatePlaylistSide(QWidget* client);
    void CreateMenus();
    void ConnectHandlers();
    void ConnectMenus();
    void JumpTo(int index);
    void SetModeText(const QString& text, const QColor& colour);
    void SetPlayMarks(bool play, bool pause, bool stop);
    // Carries out a move of the playlist: plays the entry moved to, or stops.
    void Go(TPlaylist::TStep step);

    QString programDir_;
    QString audioSink_;
    QString videoSink_;
    QWidget* client_ = nullptr;
    // A drag of the position thumb that started with the device playing resumes on release.
    bool dragging_ = false;
    bool resumeAfterDrag_ = false;
};
