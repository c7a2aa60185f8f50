#pragma once

// File names between Qt and the file layer. Qt decodes a name's bytes that are not UTF-8 to
// U+FFFD, so a name it hands over may stand for another file (its replacement-character twin)
// or for none. These functions keep the bytes as the file layer does (lone surrogates U+DC80 to
// U+DCFF, see tags/textcodec.h), so a name read from the system names the same file when it
// goes back.

#include <QByteArray>
#include <QString>
#include <QUrl>

// A name as the kernel gave it (a command line argument, a line of a playlist file).
QString NameFromNative(const QByteArray& bytes);
// The name's bytes; false when it stands for no bytes of its own.
bool NativeFromName(const QString& name, QByteArray& bytes);
// The name's bytes, or its text as UTF-8 when it stands for no bytes of its own: a line of a
// list that names no file keeps its text.
QByteArray NativeOrText(const QString& name);
// The path of a local file URL, byte for byte; empty for any other URL.
QString NameFromUrl(const QUrl& url);
// The file a name chosen in Qt's file dialog stands for. The dialog shows a name that is not
// UTF-8 with U+FFFD, so each part of the path that has one is looked up among its folder's
// entries: the one entry it can stand for. Empty when there are several (the user's choice
// cannot be told) or none.
QString NameFromDialog(const QString& chosen);
