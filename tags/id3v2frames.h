#pragma once

// The frames of an ID3v2 tag held in memory. A tag of version 2.2, 2.3 or 2.4 is read from its
// bytes in one piece (unsynchronisation undone, an extended header skipped), every frame kept as
// it was found; the frames are converted to version 2.3 and written as a version-2.3 tag. The
// text helpers here are the one decoding of ID3v2 strings, used for the fields and for the
// conversion alike, so a converted frame reads as the frame it came from.

#include "tags/bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One frame as the tag holds it.
struct TID3v2Frame {
    // Three characters in version 2.2, four in later versions.
    std::string id;
    // The two flag bytes as the tag's version defines them (none in version 2.2).
    std::uint8_t status = 0;
    std::uint8_t format = 0;
    // Everything after the frame header, unsynchronisation undone.
    Bytes data;
    // Where the frame's content starts in data: after the bytes its flags add (decompressed size,
    // encryption method, group, data length indicator).
    std::size_t contentAt = 0;
    // Compressed or encrypted (or too short for what its flags announce): data holds no
    // readable content, only bytes to carry.
    bool opaque = false;

    ByteSpan Content() const { return ByteSpan(data).subspan(contentAt); }
};

struct TID3v2Frames {
    std::uint8_t version = 0;
    // Version 2.4 frame sizes read as plain numbers, not syncsafe ones.
    bool plainSizes = false;
    // The frames ended on bytes that start no frame, or on padding with other bytes behind it:
    // whatever lies behind is not read.
    bool damaged = false;
    std::vector<TID3v2Frame> frames;
};

// The frames of a tag whose bytes (header first, at most its declared size) are given. False
// when the bytes hold no tag of version 2.2 to 2.4; a tag damaged part way keeps the frames
// before the damage.
bool ParseID3v2(ByteSpan tag, TID3v2Frames& out);

// Bytes of a version-2.3 tag of the frames, before padding.
std::size_t Version3Size(const std::vector<TID3v2Frame>& frames);
// The tag: header, frames, padding of zero bytes.
Bytes RenderVersion3(const std::vector<TID3v2Frame>& frames, std::size_t padding);

// ID3v2 strings. Encoding 0 is 8-bit text (UTF-8 where it is well-formed, else Latin-1), 1 is
// UTF-16 after a byte-order mark (little-endian without one), 2 is UTF-16BE, 3 is UTF-8.
bool IsWideEncoding(std::uint8_t encoding);
// The string in bytes, which hold no terminator.
std::u16string DecodeString(std::uint8_t encoding, ByteSpan bytes);
// The length of the string at the start of bytes and the position after its terminator;
// nullopt when no terminator follows it. UTF-16 terminators lie at even offsets.
struct TStringEnd {
    std::size_t length;
    std::size_t next;
};
std::optional<TStringEnd> FindTerminator(std::uint8_t encoding, ByteSpan bytes);
// Text as UTF-16, little-endian after its byte-order mark; no terminator. Empty text is no bytes.
Bytes EncodeUtf16(std::u16string_view text);
// The first string of a text frame's content (encoding byte first), blanks and control
// characters trimmed at both ends; content that does not start with an encoding byte is 8-bit
// text from its first byte.
std::u16string DecodeText(ByteSpan content);
