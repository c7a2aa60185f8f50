#pragma once

// Which info dialog and which info-panel lines a file gets, chosen by its extension, and the
// commands the player window runs with them. Window-independent: the player window passes its
// list boxes, its info panel and itself as the owner of the dialogs.

#include <QString>

class QListWidget;
class QWidget;
class TDnDListBox;
class TForm2;

enum class TInfoKind { None, Mpeg, Wav, Wma };

// The extension of a path in upper case (ASCII letters only), dot included: the text from the
// last "." on, when that dot comes after the last "/"; else empty.
QString ExtensionClass(const QString& path);
// ".WMA" and ".WAV" have their own dialogs; any other extension of 3 to 5 characters (dot
// included) is taken for MPEG audio; anything else gets nothing.
TInfoKind InfoKindOf(const QString& path);

// The four info-panel lines for a file that has started playing: the title line, an empty line,
// channels with the sample rate, and the bit rate. titleText is the player's title text. Returns
// false, and leaves the list as it was, for a file without a handled extension.
bool FillInfoLines(QListWidget& listBox, const QString& fileName, const QString& titleText);

// Analyses the file and shows its dialog modally: a new WMA or MPEG dialog owned by owner, or the
// shared WAV box form2. Returns what was shown (None: nothing, for an unhandled extension). A file
// that cannot be read still opens its dialog with the readers' cleared values.
TInfoKind RunInfoBox(const QString& path, QWidget* owner, TForm2& form2);

// The info-box command on the playlist pair: selects in list1 the entry selected in List2 and runs
// RunInfoBox on its path; nothing when no entry is selected.
TInfoKind RunInfoBoxForSelection(TDnDListBox& list1, const TDnDListBox& List2, QWidget* owner,
                                 TForm2& form2);
