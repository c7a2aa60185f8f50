#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The Xing or VBRI header found in the first frame of a variable bit-rate file.
struct TVBRInfo {
    bool Found = false;
    std::array<char, 4> Tag{};   // "Xing" or "VBRI"; zeros when none was found
    std::int32_t VBRFrames = 0;  // frames in the stream, as the header states it
    std::int32_t VBRBytes = 0;   // bytes in the stream, as the header states it

    bool operator==(const TVBRInfo&) const = default;
};

// Reads a Xing or VBRI header at position p of the chunk. The Xing flags word is not consulted:
// the frame and byte counts are taken from their fixed places (p + 8 and p + 12; VBRI: bytes at
// p + 10, frames at p + 14). A header whose fields run past the chunk is not taken.
TVBRInfo ReadVBRHeader(std::span<const std::uint8_t> chunk, std::size_t p);
