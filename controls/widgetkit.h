#pragma once

// The few builders every window is made of: the product's title, the colours the windows are
// drawn in, fonts with stand-ins (PixelFont), labels, panels and buttons placed at the fixed
// positions their layouts give.

#include <QColor>
#include <QRect>
#include <QString>

#include "platform/pixelfont.h"

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// The colours the windows name, by their RGB values.
inline const QColor clRed(0xFF, 0x00, 0x00);
inline const QColor clNavy(0x00, 0x00, 0x80);
inline const QColor clSilver(0xC0, 0xC0, 0xC0);
inline const QColor clAqua(0x00, 0xFF, 0xFF);
inline const QColor clYellow(0xFF, 0xFF, 0x00);
inline const QColor clWhite(0xFF, 0xFF, 0xFF);
inline const QColor clBlack(0x00, 0x00, 0x00);
inline const QColor clLime(0x00, 0xFF, 0x00);
inline const QColor clTeal(0x00, 0x80, 0x80);
inline const QColor clPurple(0x80, 0x00, 0x80);
inline const QColor clMoneyGreen(0xC0, 0xDC, 0xC0);

// "Tovra III [Velmo History]": the player window's first caption and the message boxes' caption.
QString ProductTitle();

// A plain-text label (a file name is never taken for markup) at a place, sized to its text.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top);
// Gives a widget the colour of its texts (a label's, a button's caption, a list's lines).
void SetTextColour(QWidget* widget, const QColor& colour);
// A panel: raised with a one-pixel bevel, or flat; filled with its own colour when one is given.
QFrame* MakePanel(QWidget* parent, const char* name, const QRect& geometry, bool raised,
                  const QColor& fill = QColor());
// A push button that is never a dialog's default button.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& geometry);

// A fixed window: made on first use, then the same one every time; its owner frees it.
template <typename Window, typename... Args>
Window& FixedWindow(Window*& window, const Args&... args) {
    if (!window) {
        window = new Window(args...);
    }
    return *window;
}
