#pragma once

#include <QString>

// Pictures for high-density screens. Beside a picture "name.ext" may lie "name@2x.ext", the same
// picture drawn at twice the size. Qt gives an image read from an "@2x" name a device pixel ratio
// of 2, so it keeps the logical size of the small one and is drawn at full sharpness.

// The file to read: the "@2x" one when the screens scale by more than 1 and it exists, else the
// file itself.
QString HighDensityFile(const QString& file);

// "name@2x.ext" for "name.ext".
QString DoubleSizeName(const QString& file);

// 2 for an "@2x" name, else 1: the device pixel ratio of a picture read from that file by a
// decoder of our own.
qreal PictureRatio(const QString& file);
