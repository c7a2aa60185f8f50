#pragma once

#include <QStringList>

class QWidget;
class TForm1;

// Files handed to the player from outside its window: those a start names on its command line,
// its own or a later start's. On the next turn of the event loop each goes to the playlist as a
// drop of its own: the first on a fresh player starts playing, and a file that can't be opened
// gets the playlist's usual error while the others are still added.
void OpenFiles(TForm1& form, const QStringList& files);

// Restores the window from the task bar and puts it in front, asking for the keyboard focus.
void BringToFront(QWidget& window);
