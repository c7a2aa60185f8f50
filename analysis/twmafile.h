#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// ASF object identifiers as stored in the file: the first three groups of the GUID little-endian,
// the rest as written.
using ASFGuid = std::array<std::uint8_t, 16>;
// {75B22630-668E-11CF-A6D9-00AA0062CE6C}
inline constexpr ASFGuid ASFHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                            0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
// {8CABDCA1-A947-11CF-8EE4-00C00C205365}
inline constexpr ASFGuid ASFFilePropertiesObject = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                    0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
// {B7DC0791-A9B7-11CF-8EE6-00C00C205365}
inline constexpr ASFGuid ASFStreamPropertiesObject = {
    0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};

// Stream figures gathered while walking an ASF header; cleared before each walk.
struct ASFStreamFacts {
    std::int32_t MaxBitRate = 0;      // bit/s, File Properties Object
    std::uint16_t Channels = 0;       // Stream Properties Object, audio format
    std::int32_t SampleRate = 0;      // Hz, Stream Properties Object
    std::int32_t AvgBytesPerSec = 0;  // Stream Properties Object

    bool operator==(const ASFStreamFacts&) const = default;
};

// Reads the channel count, sample rate and average bit rate of a Windows Media audio file from its
// ASF header objects, visiting each object by a seek past its size; the media data is never read.
class TWMAfile {
public:
    // Copies up to dest.size() bytes from the given offset of a file into dest and returns how
    // many were copied: fewer at the end of the file.
    using ReadAt = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> dest)>;

    TWMAfile() { Clear(); }

    void Clear();
    // Path in UTF-8. True when the file could be opened and its header read without running out of
    // bytes, whether or not it is ASF; Valid tells whether the figures were taken.
    bool Analyse(const std::string& path);
    // The same walk over any source of fileSize bytes (a file, or bytes built in memory).
    bool AnalyseSource(const ReadAt& read, std::uint64_t fileSize);
    bool AnalyseBytes(std::span<const std::uint8_t> file);

    bool Valid = false;
    std::uint8_t Channels = 0;    // 1 to 6 when Valid
    std::int32_t SampleRate = 0;  // Hz
    std::int32_t BitRate = 0;     // average, kbit/s
    ASFStreamFacts Facts;

private:
    enum class Walk { Done, Cut };
    Walk WalkHeaderObjects(const ReadAt& read, std::uint64_t fileSize);
};
