#pragma once

#include "analysis/tvbrinfo.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// One MPEG audio frame header, decoded. Bits are numbered in the 32-bit header read big-endian
// (bit 31 is the top bit of the first byte).
struct TMPEGFrameInfo {
    bool Found = false;
    std::int64_t Position =
        0;                   // file offset of the header's first byte (64 bits: files over 2 GiB)
    std::uint16_t Size = 0;  // frame length in bytes (FrameLength)
    std::array<std::uint8_t, 4> HeaderBytes{};
    std::uint8_t VersionIndex = 0;   // bits 20-19: 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
    std::uint8_t LayerIndex = 0;     // bits 18-17: 0 reserved, 1 Layer III, 2 Layer II, 3 Layer I
    bool HasCRC = false;             // protection bit 16 is 0: a CRC follows the header
    std::uint16_t BitRateIndex = 0;  // bits 15-12
    std::uint16_t SampleRateIndex = 0;  // bits 11-10
    bool Padded = false;                // bit 9
    bool PrivateBit = false;            // bit 8
    std::uint8_t ChannelModeIndex = 0;  // bits 7-6: 0 stereo, 1 joint, 2 dual, 3 mono; 4 unknown
    std::uint8_t ModeExtension = 0;     // bits 5-4
    bool Copyrighted = false;           // bit 3
    bool Original = false;              // bit 2
    std::uint8_t EmphasisIndex = 0;     // bits 1-0

    bool operator==(const TMPEGFrameInfo&) const = default;
};

// Bytes searched per read while looking for the first frame, and the last start position tested
// in a chunk (ChunkSize - 1729): a frame candidate further on is left to the next chunk.
inline constexpr std::size_t MPEGChunkSize = 3458;
inline constexpr std::size_t MPEGLastCandidate = MPEGChunkSize - 1729;

inline constexpr std::array<std::string_view, 4> MPEGVersionNames = {"MPEG 2.5", "MPEG ?", "MPEG 2",
                                                                     "MPEG 1"};
inline constexpr std::array<std::string_view, 4> MPEGLayerNames = {"Layer ?", "Layer III",
                                                                   "Layer II", "Layer I"};
inline constexpr std::array<std::string_view, 5> ChannelModeNames = {
    "Stereo", "Joint Stereo", "Dual Channel", "Mono", "Unknown"};
inline constexpr std::array<std::uint8_t, 5> ChannelModeChannels = {2, 2, 2, 1, 0};
inline constexpr std::array<std::string_view, 4> EmphasisNames = {"None", "50/15 ms", "Unknown",
                                                                  "CCIT J.17"};

// Bit rate in kbit/s by version, layer and bit-rate index (ISO/IEC 11172-3 for MPEG 1, 13818-3 for
// MPEG 2, whose table serves MPEG 2.5 too). Free format (0), index 15, the reserved version and the
// reserved layer give 0.
std::uint16_t MPEGBitRate(std::uint8_t versionIndex, std::uint8_t layerIndex,
                          std::uint16_t bitRateIndex);
// Sample rate in Hz by version and sample-rate index; index 3 and the reserved version give 0.
std::uint16_t MPEGSampleRate(std::uint8_t versionIndex, std::uint16_t sampleRateIndex);

// True for a header a frame search accepts: sync, no reserved version or layer, no free format or
// bad bit-rate index, no reserved sample rate or emphasis.
bool IsFrameHeader(std::span<const std::uint8_t, 4> bytes);
// Fills the header fields from the 4 bytes; Found, Position and Size are left as they are.
void DecodeFrameHeader(std::span<const std::uint8_t, 4> bytes, TMPEGFrameInfo& frame);

// Figures derived from a decoded header.
std::uint16_t FrameCoefficient(const TMPEGFrameInfo& frame);  // 48, 144 or 72 (samples / 8)
std::uint16_t HeaderBitRate(const TMPEGFrameInfo& frame);     // kbit/s
std::uint16_t HeaderSampleRate(const TMPEGFrameInfo& frame);  // Hz
std::uint8_t PaddingSize(const TMPEGFrameInfo& frame);        // bytes: 0, 1 or 4 (Layer I)
std::uint16_t FrameLength(const TMPEGFrameInfo& frame);       // bytes, 0 without a sample rate
std::uint8_t XingOffset(const TMPEGFrameInfo& frame);         // from the frame's first byte

// Looks for the first frame in one chunk: a header at i (0 <= i <= MPEGLastCandidate) is accepted
// when the 4 bytes one frame length further also pass IsFrameHeader and lie inside the chunk.
// Only the bytes given are searched, so a short last chunk holds no stale bytes. On success the
// frame's Position is its offset in the chunk and vbr gets the Xing or VBRI header of that frame;
// otherwise the frame is all zeros and vbr is left alone.
TMPEGFrameInfo FindFrame(std::span<const std::uint8_t> chunk, TVBRInfo& vbr);
