#pragma once

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include <array>

#include "controls/tdndlistbox.h"
#include "controls/tgauge.h"
#include "controls/tslider.h"

class QAbstractItemModel;

// The player window as it shows: its controls and menus, named and placed as its composition
// gives them, the pictures on them and their fixed texts. It knows nothing of what they do;
// TForm1 connects the handlers and shows the state.
class TForm1Layout {
public:
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

    // A bitmap button's glyph: the colour of its bottom-left pixel is transparent. The picture at
    // twice the size, when there is one, serves high-density screens; Qt picks one when it paints.
    static QIcon GlyphIcon(const QImage& image, const QImage& doubleSize = QImage());
    // The transport glyphs, read from the folder at every call, so a changed file shows at once:
    // each of the play, pause and stop buttons gets its active glyph when its flag is set.
    // Raises the error of SetGlyph.
    void ShowGlyphs(const QString& folder, bool play, bool pause, bool stop);
    // One line of the playlist: black behind a selected line; the current entry in red, yellow
    // when selected, the others navy, white when selected; the focus frame around it.
    static void DrawEntry(TDnDListBox* control, QPainter& canvas, int index, const QRect& rect,
                          TOwnerDrawState state, bool current);
    // Gives the button the glyph of a bitmap file on disk; EFOpenError "Cannot open file ..."
    // when it can't be read, "Bitmap image is not valid" when it is no bitmap.
    static void SetGlyph(QAbstractButton* button, const QString& path);

    // Width of the client area (the window below the menu bar).
    int ClientWidth() const;
    void SetClientWidth(int width);
    int ClientHeight() const;

    // The dialog of the Add command, made on its first use.
    QFileDialog* OpenDialog = nullptr;
    QFileDialog& FileOpenDialog();

protected:
    // Makes every control in the window; the playlist shows the rows.
    void Compose(QMainWindow& window, QAbstractItemModel& rows);

    QWidget* client_ = nullptr;  // the client area: the window below its menu bar

private:
    // The banner, the time and title labels, the gauge and the position slider; then the rest.
    void CreatePlayerSide(QWidget* client);
    // The transport buttons and the volume panel.
    void CreateTransport();
    // The playlist and loop-back boxes, About, the quick-play buttons and the info list.
    void CreateSwitches();
    void CreatePlaylistSide(QWidget* client, QAbstractItemModel& rows);
    void CreateMenus(QMainWindow& window);
};
