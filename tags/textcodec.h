#pragma once

// The one place for text conversions. std::u16string is the program's wide string (file names,
// ID3v2 fields); std::string holds UTF-8, the system code page here. Tag formats that define 8-bit
// text (ID3v1, Lyrics3, the WXXX URL) store Windows-1252, which other tag readers expect.

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 to UTF-16; each malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// File names: the kernel's bytes to UTF-16 and back, byte for byte. Well-formed UTF-8 decodes as
// usual; every other byte (0x80 to 0xFF) becomes the lone surrogate U+DC80 to U+DCFF and goes
// back to the same byte, so every existing file can be named.
std::u16string NativeToUtf16(std::string_view bytes);
// False when the text names no file: another unpaired surrogate, or lone surrogates that would
// come back as other text (the bytes of a well-formed character), since that name would stand
// for a different file.
bool Utf16ToNative(std::u16string_view text, std::string& out);
// True when the bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// ISO 8859-1: each byte is the code point of the same value.
std::u16string Latin1ToUtf16(std::string_view bytes);
// 8-bit text of an unknown code page: UTF-8 when it is well-formed, else Latin-1.
std::u16string Utf8OrLatin1ToUtf16(std::string_view bytes);

// Windows-1252 to UTF-16. The five bytes the code page leaves undefined map to the C1 control
// of the same value, as Windows itself converts them.
std::u16string Cp1252ToUtf16(std::string_view bytes);
// UTF-16 to Windows-1252; a character the code page lacks becomes "?" (one per code point).
std::string Utf16ToCp1252(std::u16string_view text);
// The same conversions for UTF-8 text.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view text);

// Number of code points in UTF-8 text (a malformed byte counts as one), and the text cut after
// its first count code points.
std::size_t Utf8Length(std::string_view text);
std::string Utf8Left(std::string_view text, std::size_t count);
