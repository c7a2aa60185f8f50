#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Builds MPEG audio headers, frames and whole streams byte by byte for the analyser's tests.
namespace mpegtest {

struct Header {
    unsigned version = 3;  // MPEG 1
    unsigned layer = 1;    // Layer III
    bool crc = false;
    unsigned bitRateIndex = 9;  // 128 kbit/s in MPEG 1 Layer III
    unsigned sampleRateIndex = 0;
    bool padded = false;
    unsigned channelMode = 0;
    unsigned emphasis = 0;
    bool copyrighted = false;
    bool original = false;
    // The frame's length in bytes, given with the header rather than worked out by the reader's
    // own formula: 417 is 128 kbit/s at 44100 Hz without padding.
    std::uint16_t size = 417;

    std::array<std::uint8_t, 4> Bytes() const {
        return {0xFF,
                static_cast<std::uint8_t>(0xE0 | (version << 3) | (layer << 1) | (crc ? 0 : 1)),
                static_cast<std::uint8_t>((bitRateIndex << 4) | (sampleRateIndex << 2) |
                                          (padded ? 2 : 0)),
                static_cast<std::uint8_t>((channelMode << 6) | (copyrighted ? 8 : 0) |
                                          (original ? 4 : 0) | emphasis)};
    }
};

inline void PutBigEndian32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

// One frame: the header, then zero bytes up to the frame's size.
inline std::vector<std::uint8_t> Frame(const Header& header) {
    std::vector<std::uint8_t> frame(header.size, 0);
    const auto bytes = header.Bytes();
    std::copy(bytes.begin(), bytes.end(), frame.begin());
    return frame;
}

// A Xing frame: Xing at the given offset from the frame's start (36 for MPEG 1 stereo, 21 for
// MPEG 1 mono and MPEG 2 stereo, 13 for MPEG 2 mono), all flags set, the frame and byte counts.
inline std::vector<std::uint8_t> XingFrame(const Header& header, std::size_t at,
                                           std::uint32_t frames, std::uint32_t bytes) {
    auto frame = Frame(header);
    std::memcpy(frame.data() + at, "Xing", 4);
    PutBigEndian32(frame, at + 4, 0x0F);
    PutBigEndian32(frame, at + 8, frames);
    PutBigEndian32(frame, at + 12, bytes);
    return frame;
}

// A VBRI frame: always 32 bytes after the 4-byte header; version 1, delay, quality, then the
// byte and frame counts.
inline std::vector<std::uint8_t> VbriFrame(const Header& header, std::uint32_t frames,
                                           std::uint32_t bytes) {
    auto frame = Frame(header);
    const std::size_t at = 36;
    std::memcpy(frame.data() + at, "VBRI", 4);
    frame[at + 5] = 1;     // version
    frame[at + 7] = 0x10;  // delay
    frame[at + 9] = 75;    // quality
    PutBigEndian32(frame, at + 10, bytes);
    PutBigEndian32(frame, at + 14, frames);
    return frame;
}

inline void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// count frames of one header, back to back.
inline std::vector<std::uint8_t> Frames(const Header& header, int count) {
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < count; ++i) {
        Append(stream, Frame(header));
    }
    return stream;
}

// An ID3v2.3 tag of `total` bytes (header included) holding nothing but padding.
inline std::vector<std::uint8_t> EmptyID3v2(std::uint32_t total) {
    std::vector<std::uint8_t> tag(total, 0);
    const std::uint32_t size = total - 10;
    tag[0] = 'I';
    tag[1] = 'D';
    tag[2] = '3';
    tag[3] = 3;
    tag[6] = static_cast<std::uint8_t>((size >> 21) & 0x7F);
    tag[7] = static_cast<std::uint8_t>((size >> 14) & 0x7F);
    tag[8] = static_cast<std::uint8_t>((size >> 7) & 0x7F);
    tag[9] = static_cast<std::uint8_t>(size & 0x7F);
    return tag;
}

// A 128-byte ID3v1 tag with a title.
inline std::vector<std::uint8_t> ID3v1(const std::string& title) {
    std::vector<std::uint8_t> tag(128, 0);
    std::memcpy(tag.data(), "TAG", 3);
    std::memcpy(tag.data() + 3, title.data(), std::min<std::size_t>(title.size(), 30));
    tag[127] = 255;
    return tag;
}

}  // namespace mpegtest
