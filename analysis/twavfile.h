#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Reads the canonical 44-byte RIFF WAVE header ("fmt " first, at offset 12) at fixed offsets; the
// RIFF chunks are not walked.
class TWAVfile {
public:
    static constexpr std::size_t WAVHeaderSize = 44;

    TWAVfile() { Clear(); }

    void Clear();
    // Reads the first 44 bytes of the file (path as the kernel takes it). True when 44 bytes could
    // be read, whether or not they form a WAV header; Valid tells that.
    bool Analyse(const std::string& path);
    // The same on bytes already read: false when fewer than 44 bytes are given.
    bool AnalyseHeader(std::span<const std::uint8_t> header);

    bool Valid = false;
    std::uint8_t Channels = 0;  // 1 or 2 when Valid
    std::uint32_t SampleRate =
        0;  // Hz, the header's whole 32-bit field (a 16-bit copy would show 96 kHz as 30464)
    std::uint8_t BitsPerSample = 0;  // the low byte of the header's field
    std::int64_t FileSize = 0;       // RIFF size + 8 in bytes; 64 bits so a 4 GiB file never wraps
};
