#pragma once

// Builders the info dialogs share beyond the widget kit: fields, group boxes, memos and the
// dialogs' own label kinds, all laid out in code at fixed places.

#include <QColor>
#include <QFont>
#include <QString>

#include <string>

#include "controls/widgetkit.h"

class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// A label of fixed size whose text is clipped, in purple: the file-name labels.
QLabel* MakePathLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font);

// An edit field on or off: usable with the window background of fields, or unusable with the
// dialog's face colour, as the tag editors show an absent tag.
void SetFieldEnabled(QWidget* field, bool enabled);

// Fixed client size, dialog border, centred on the desktop.
void SetUpDialog(QDialog* dialog, const QString& caption, int width, int height, const QFont& font);

class QLineEdit;
class QPlainTextEdit;

// A named line edit at a place.
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QRect& geometry);

// Memo text as it is stored: every character as typed, the lines joined by lineBreak. And the
// stored text as a memo takes it, any CR LF or lone CR turned into a line break.
QString MemoText(const QPlainTextEdit* memo, const QString& lineBreak);
void SetMemoText(QPlainTextEdit* memo, const QString& text);

// A group box whose title lies on its frame line.
QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title,
                     const QRect& geometry);

// Children of a styled group box would take the application's font: give them the dialog's.
// Called once a dialog's controls are built.
void KeepDialogFont(QDialog* dialog);

// A label in its own font, sized to its text: the captions in front of the file names.
QLabel* MakeCaptionLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                         const QFont& font);
// An empty label of fixed size for one line of figures.
QLabel* MakeInfoLabel(QWidget* parent, const char* name, const QRect& geometry);
// UTF-8 text (the tag classes' 8-bit text) as a QString.
QString FromUtf8(const std::string& text);
