#pragma once

#include "sysinfo/tdisplaydevice.h"
#include "sysinfo/twaveoutcaps.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The "Bonus" tool window: one read-only memo under a red heading, written by one of two
// invisible buttons (Button2 the sound card report, Button1 the display adapter report).
class TForm6 : public QDialog {
    Q_OBJECT

public:
    explicit TForm6(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    void Button1Click();
    void Button2Click();

    // What the menu commands do: show the window, then press the matching button.
    void ShowSoundCardReport();
    void ShowDisplayAdapterReport();

    // Where the facts come from; the real machine unless a test puts a double here.
    std::function<TWaveOutCaps()> WaveOutSource;
    std::function<std::vector<TDisplayDevice>()> DisplaySource;

private:
    // The largest font, down to 8 pixels, in which every line of the sound report fits the memo.
    void FitMemoFont();
    // Replaces heading and memo; the display report brings the window forward at every line.
    void writeReport(const QString& heading, const QStringList& lines, bool frontEachLine);
    void presentWindow();
};
