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

#include "app/tform1layout.h"
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
class TForm1 : public QMainWindow, public TForm1Layout {
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

    // Menu commands and the buttons that lead to them. A forwarding command runs the named
    // button's click exactly as if the button had been pressed.
    void OpenFile1Click() { BitBtn1->click(); }
    void Exit1Click() { close(); }
    void Play3Click() { BtnPlay->click(); }
    void Pause1Click() { btnpause->click(); }
    void Stop1Click() { btnstop->click(); }
    void Next1Click() { btnnext->click(); }
    void Prev1Click() { btnprev->click(); }
    void StartofList1Click() { JumpTo(0); }
    void EndofList1Click() { JumpTo(Playlist->Count() - 1); }
    void VolumeMax1Click() { Slider1->SetValue(1000); }
    void VolumeMin1Click() { Slider1->SetValue(0); }
    void ShowPlaylist1Click();
    void HidePlaylist1Click();
    void StopScrollingTitle1Click();
    void About2Click() { BitBtn7->click(); }
    void BitBtn7Click();
    void ReadmeFile1Click();
    void SoundCardDetections1Click();
    void VGACardDetections1Click();
    void YourWindowsInfo1Click();
    void InfoBox1Click();
    void BitBtn6Click() { InfoBox1->trigger(); }
    void Add1Click() { BitBtn1->click(); }
    void Play1Click() { List2DblClick(List2); }
    void Delete1Click() { BitBtn3->click(); }

    // The fixed windows, created once at start-up and owned by this window: the WAV info box,
    // About, the "Bonus" window and the readme. One that start-up did not create is made on its
    // first use.
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm2& WavInfoBox();
    TForm3& AboutWindow();
    TForm6& BonusWindow();
    TForm7& ReadmeWindow();
    // Opens the entry the show will open in a device of its own, so that its plugins are
    // loaded and its file read before: start-up does it behind the splash. Best effort: what
    // goes wrong is left for the show to report.
    void WarmUpCurrentEntry() const;

    // State.
    TMediaPlayer* MediaPlayer = nullptr;
    QTimer* PositionTimer = nullptr;
    QTimer* TitleTimer = nullptr;
    // The entries, the current one, loop back and the volume; the window shows them.
    TPlaylist* const Playlist;
    TPlaylist::TCurrentIndex CurrentIndex;
    std::int32_t DragFromIndex = 0;
    std::int32_t DragToIndex = 0;

signals:
    // The close completed (the state was written); the program ends.
    void FormClosed();
    // The play state shown (the mode text, glyphs and marks) changed, or a drag of the position
    // thumb paused or resumed the device.
    void PlayStateChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void JumpTo(int index);
    void SetModeText(const QString& text, const QColor& colour);
    void SetPlayMarks(bool play, bool pause, bool stop);
    void LoadCurrent();
    // Carries out a move of the playlist: plays the entry moved to, or stops.
    void Go(TPlaylist::TStep step);
    // While the window is minimised the ticks leave the position and the title as they are
    // (nothing would be drawn); they are brought up to date when the window comes back. While
    // the position is polled, the title is turned by the next position tick.
    void CatchUpPosition();
    void CatchUpTitle();

    QString programDir_;
    QString audioSink_;
    QString videoSink_;
    // A drag of the position thumb that started with the device playing resumes on release.
    bool dragging_ = false;
    bool resumeAfterDrag_ = false;
    bool positionBehind_ = false;
    int titleRotationsBehind_ = 0;
};
