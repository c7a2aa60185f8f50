#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "analysis/tasfheader.h"

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
    using ReadAt = TAsfHeader::ReadAt;

    TWMAfile() { Clear(); }

    void Clear();
    // Path as the kernel takes it (UTF-8, any other bytes the name's own). True when the file
    // could be opened and its header read without running out of bytes, whether or not it is
    // ASF; Valid tells whether the figures were taken.
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
    // Gathers Facts from the header's objects; false when the file ends inside them.
    bool WalkHeaderObjects(const TAsfHeader& header);
    bool AnalyseHeader(TAsfHeader header);
};
