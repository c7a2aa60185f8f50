#pragma once

#include "analysis/tmpegframeinfo.h"
#include "analysis/tvbrinfo.h"
#include "tags/tid3v1.h"
#include "tags/tid3v2.h"

#include <cstdint>
#include <string>
#include <string_view>

class TTntFileStream;

// Reads an MPEG audio file (Layer I, II or III) and derives its stream facts from the headers: the
// first frame and where it lies, the Xing or VBRI header of a variable bit-rate file, the frame
// count and the play time. It owns the file's ID3v2 tag, which tells where the audio may begin,
// and its ID3v1 tag, which with its Lyrics3 block tells how many bytes at the end are not audio.
class TMPEGaudio {
public:
    TMPEGaudio();

    // Zeros everywhere, with the indexes set so the names read "MPEG ?", "Layer ?", "Unknown"
    // and "Unknown"; both tags cleared.
    void Clear();
    // True when the file could be read; Frame.Found tells whether it held MPEG audio. When it did
    // not, the analyser and both tags are left cleared.
    bool Analyse(const std::u16string& fileName);

    // kbit/s: from the VBR header's averages when there is one, else the first frame's.
    std::uint16_t BitRate() const;
    // Hz of the first frame, 0 when none was found.
    std::uint16_t SampleRate() const;
    std::string_view ChannelModeName() const;
    std::uint8_t Channels() const;
    // The VBR header's count, else the audio bytes over the first frame's length; 0 without a
    // frame.
    std::int64_t FrameCount() const;
    // Seconds; 0 without a frame.
    double Duration() const;

    // Sizes and offsets are 64-bit so files of 2 GiB and more never give negative figures.
    std::int64_t FileSize = 0;
    TVBRInfo VBR;
    TMPEGFrameInfo Frame;
    std::int64_t AudioStart = 0;  // offset of the first frame
    std::int64_t AudioEnd = 0;    // offset where the trailing tags begin
    TID3v1 ID3v1;
    TID3v2 ID3v2;

private:
    // Clear without the tags.
    void ClearFacts();
    // Steps of Analyse between opening the file and closing it; false on a read error.
    bool FindFirstFrame(TTntFileStream& file);
};
