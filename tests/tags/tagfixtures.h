#pragma once

// Shared helpers of the tag tests: the temporary folder and whole-file reads and writes of
// tests/support, and byte builders for ID3v1 tags, Lyrics3 blocks, ID3v2 frames and tags and a
// little MPEG audio.

#include "tags/bytes.h"
#include "tags/textcodec.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

namespace fixtures {

using TempDir = TTempFolder;

inline std::u16string U(const std::string& utf8) {
    return Utf8ToUtf16(utf8);
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    ASSERT_TRUE(WriteFileBytes(path, bytes)) << path;
}

inline Bytes ReadFile(const std::string& path) {
    return ReadFileBytes(path);
}

inline mode_t Permissions(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

// Deterministic non-tag payload that contains no "TAG", "ID3" or "LYRICS" by accident.
inline Bytes Payload(std::size_t size, std::uint8_t seed = 1) {
    Bytes out(size);
    std::uint32_t x = seed * 2654435761u + 12345u;
    for (auto& b : out) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(0x80 | (x >> 24));
    }
    return out;
}

// MPEG 1 Layer III, 128 kbit/s, 44100 Hz frames without padding (417 bytes each).
inline Bytes MpegFrames(std::size_t count) {
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) {
        Bytes frame(417, 0);
        frame[0] = 0xFF, frame[1] = 0xFB, frame[2] = 0x90, frame[3] = 0x64;
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

// A 128-byte ID3v1 tag; the comment field is the full 30 bytes, bytes 125 and 126 set after it.
inline Bytes Id3v1(const std::string& title, const std::string& artist = "",
                   const std::string& album = "", const std::string& year = "",
                   const std::string& comment = "", std::uint8_t byte125 = 0,
                   std::uint8_t byte126 = 0, std::uint8_t genre = 255) {
    Bytes tag(128, 0);
    const auto put = [&](std::size_t at, std::size_t len, const std::string& s) {
        for (std::size_t i = 0; i < std::min(len, s.size()); ++i) {
            tag[at + i] = static_cast<std::uint8_t>(s[i]);
        }
    };
    put(0, 3, "TAG");
    put(3, 30, title);
    put(33, 30, artist);
    put(63, 30, album);
    put(93, 4, year);
    put(97, 30, comment);
    tag[125] = byte125;
    tag[126] = byte126;
    tag[127] = genre;
    return tag;
}

// A Lyrics3 v2 block of the given fields, each "ID" + value (size computed), with its trailer.
inline Bytes LyricsBlock(std::initializer_list<std::pair<std::string, std::string>> fields) {
    std::string block = "LYRICSBEGIN";
    for (const auto& [id, value] : fields) {
        block += id + ZeroPadded(static_cast<std::uint32_t>(value.size()), 5) + value;
    }
    block += ZeroPadded(static_cast<std::uint32_t>(block.size()), 6) + "LYRICS200";
    return Text(block);
}

// ID3v2 frames and tags. Sizes: plain 32-bit (version 3, or a "plain" version 4), syncsafe
// (version 4), 24-bit (version 2).
enum class SizeCoding { Plain, Syncsafe, Bits24 };
inline Bytes Frame(std::string_view id, const Bytes& content, SizeCoding coding = SizeCoding::Plain,
                   std::uint8_t flags0 = 0, std::uint8_t flags1 = 0) {
    Bytes out = Text(id);
    const auto size = static_cast<std::uint32_t>(content.size());
    if (coding == SizeCoding::Bits24) {
        out.push_back(static_cast<std::uint8_t>(size >> 16));
        out.push_back(static_cast<std::uint8_t>(size >> 8));
        out.push_back(static_cast<std::uint8_t>(size));
    } else {
        coding == SizeCoding::Syncsafe ? AppendSyncsafe32(out, size) : AppendBE32(out, size);
        out.push_back(flags0);
        out.push_back(flags1);
    }
    out.insert(out.end(), content.begin(), content.end());
    return out;
}
// A text frame's content: encoding byte 0 and the bytes as given.
inline Bytes Latin(std::string_view s) {
    return Join({Bytes{0}, Text(s)});
}
inline Bytes Id3v2(std::uint8_t version, const Bytes& frames, std::size_t padding = 0,
                   std::uint8_t flags = 0) {
    Bytes out{'I', 'D', '3', version, 0, flags};
    AppendSyncsafe32(out, static_cast<std::uint32_t>(frames.size() + padding));
    out.insert(out.end(), frames.begin(), frames.end());
    out.resize(out.size() + padding, 0);
    return out;
}

// UTF-16 text, little-endian after FF FE or big-endian after FE FF (with mark), no terminator.
inline Bytes Utf16Le(std::u16string_view text, bool mark = true) {
    Bytes out = mark ? Bytes{0xFF, 0xFE} : Bytes{};
    for (char16_t c : text) {
        AppendLE16(out, c);
    }
    return out;
}
inline Bytes Utf16Be(std::u16string_view text, bool mark) {
    Bytes out = mark ? Bytes{0xFE, 0xFF} : Bytes{};
    for (char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c));
    }
    return out;
}

// Unsynchronised bytes: a zero after every FF.
inline Bytes Unsynchronised(const Bytes& bytes) {
    Bytes out;
    for (std::uint8_t b : bytes) {
        out.push_back(b);
        if (b == 0xFF) {
            out.push_back(0);
        }
    }
    return out;
}

}  // namespace fixtures
