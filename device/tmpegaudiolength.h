#pragma once

#include <QString>

#include <cstdint>
#include <span>

// The play time of an MPEG audio file counted from its own frame headers: every frame holds a fixed
// number of samples, so the sum over the frame chain is exact, also for a variable bit rate without
// a Xing or VBRI header. The device uses it when the decoder cannot name a length before playing.
class TMpegAudioLength {
public:
    // Milliseconds, or 0 when the file is not MPEG audio or cannot be read.
    static std::int64_t Measure(const QString& fileName);
    static std::int64_t Measure(std::span<const std::uint8_t> data);

private:
    struct Header {
        int version = 0;  // header bits 20-19: 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
        int layer = 0;    // bits 18-17: 1 Layer III, 2 Layer II, 3 Layer I
        int sampleRate = 0;
        int samples = 0;  // per frame
        int size = 0;     // bytes, header included
    };
    static bool Decode(std::span<const std::uint8_t> data, std::size_t at, Header& header);
    static bool SameStream(const Header& a, const Header& b);
    static std::size_t SkipId3v2(std::span<const std::uint8_t> data);
    static bool IsInfoFrame(std::span<const std::uint8_t> data, std::size_t at, const Header& h);
};
