#pragma once

#include <QString>

// Text to a signed 32-bit integer as the settings file is read: optional leading blanks, an
// optional sign, then decimal digits, or hexadecimal after "$" or "0x". Anything else, or a
// number out of range, raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString& text);
