#pragma once

// Byte helpers shared by the tag code and the stream readers: fixed-width integer reads and
// writes in both byte orders, ID3's syncsafe integers, and the "codes 0 to 32" trimming that the
// tag formats use for padding.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

// Big-endian reads; the caller has checked that the bytes are there.
inline std::uint16_t ReadBE16(ByteSpan b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}
inline std::uint32_t ReadBE24(ByteSpan b, std::size_t at) {
    return (std::uint32_t{b[at]} << 16) | (std::uint32_t{b[at + 1]} << 8) | b[at + 2];
}
inline std::uint32_t ReadBE32(ByteSpan b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// Little-endian reads.
inline std::uint16_t ReadLE16(ByteSpan b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t ReadLE32(ByteSpan b, std::size_t at) {
    return b[at] | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}
inline std::uint64_t ReadLE64(ByteSpan b, std::size_t at) {
    return ReadLE32(b, at) | (std::uint64_t{ReadLE32(b, at + 4)} << 32);
}

// Appending writes.
inline void AppendBE32(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
inline void AppendLE16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void AppendText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

// Syncsafe integers: four 7-bit groups, most significant first. The reader uses the bytes as
// they are (no masking), so a damaged header gives a large size rather than a wrapped one.
inline std::uint32_t ReadSyncsafe32(ByteSpan b, std::size_t at) {
    return (std::uint32_t{b[at]} << 21) | (std::uint32_t{b[at + 1]} << 14) |
           (std::uint32_t{b[at + 2]} << 7) | b[at + 3];
}
inline void AppendSyncsafe32(Bytes& out, std::uint32_t v) {
    for (int shift : {21, 14, 7, 0}) {
        out.push_back(static_cast<std::uint8_t>((v >> shift) & 0x7F));
    }
}
// True when no byte of the four has its top bit set, so the number can be syncsafe.
inline bool IsSyncsafe32(ByteSpan b, std::size_t at) {
    return ((b[at] | b[at + 1] | b[at + 2] | b[at + 3]) & 0x80) == 0;
}

// Trimming of characters with codes 0 to 32 (blanks, control characters and zero padding).
template <typename Char>
constexpr bool IsPadChar(Char c) {
    return static_cast<std::uint32_t>(c) <= 32;
}
template <typename String>
String TrimRight(const String& s) {
    std::size_t end = s.size();
    while (end > 0 && IsPadChar(s[end - 1])) {
        --end;
    }
    return s.substr(0, end);
}
template <typename String>
String TrimLeft(const String& s) {
    std::size_t begin = 0;
    while (begin < s.size() && IsPadChar(s[begin])) {
        ++begin;
    }
    return s.substr(begin);
}
// Where the text between the pad characters at both ends begins and how long it is.
template <typename String>
std::pair<std::size_t, std::size_t> TrimmedPart(const String& s) {
    std::size_t end = s.size();
    while (end > 0 && IsPadChar(s[end - 1])) {
        --end;
    }
    std::size_t begin = 0;
    while (begin < end && IsPadChar(s[begin])) {
        ++begin;
    }
    return {begin, end - begin};
}
template <typename String>
String Trim(const String& s) {
    const auto [begin, length] = TrimmedPart(s);
    return s.substr(begin, length);
}
// The same without a copy.
template <typename String>
void TrimInPlace(String& s) {
    const auto [begin, length] = TrimmedPart(s);
    s.erase(begin + length);
    s.erase(0, begin);
}

// A string of ASCII decimal digits only, as the Lyrics3 size fields hold; anything else
// (blanks, signs, letters, an empty string) is no number.
inline std::optional<std::uint32_t> ParseDigits(std::string_view s) {
    if (s.empty() || s.size() > 9) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

// The number written with leading zeros to a fixed width (the caller keeps it in range).
inline std::string ZeroPadded(std::uint32_t value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

// Bytes as a string of the same bytes and back.
inline std::string_view AsChars(ByteSpan b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}
inline ByteSpan AsBytes(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}
