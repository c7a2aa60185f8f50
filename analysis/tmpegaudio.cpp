#include "analysis/tmpegaudio.h"

#include "tags/ttntfilestream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

// The tags are made cleared.
TMPEGaudio::TMPEGaudio() {
    ClearFacts();
}

void TMPEGaudio::Clear() {
    ClearFacts();
    ID3v1.Clear();
    ID3v2.ClearTag();
}

void TMPEGaudio::ClearFacts() {
    FileSize = 0;
    AudioStart = 0;
    AudioEnd = 0;
    VBR = {};
    Frame = {};
    Frame.VersionIndex = 1;
    Frame.SampleRateIndex = 3;
    Frame.ChannelModeIndex = 4;
    Frame.ModeExtension = 4;
    Frame.EmphasisIndex = 2;
}

bool TMPEGaudio::FindFirstFrame(TTntFileStream& file) {
    // The tags read through our handle, so an analysis opens the file once.
    if (!ID3v2.LoadTag(file) || !ID3v1.Load(file)) {
        return true;
    }
    FileSize = file.Size();
    if (FileSize < 0) {
        return false;
    }
    // Chunks follow each other without overlap, from the end of the ID3v2 tag on, until a frame
    // is found or a read comes back short.
    std::array<std::uint8_t, MPEGChunkSize> chunk{};
    std::int64_t start = ID3v2.TagSize();
    for (;;) {
        const std::int64_t read =
            file.ReadAt(start, chunk.data(), static_cast<std::int64_t>(chunk.size()));
        if (read < 0) {
            return false;
        }
        Frame = FindFrame(
            std::span<const std::uint8_t>(chunk).first(static_cast<std::size_t>(read)), VBR);
        if (Frame.Found) {
            Frame.Position += start;
            AudioStart = Frame.Position;
            // A trailer that claims more than lies behind the frame gives no audio, never a
            // negative amount of it.
            AudioEnd = std::max(AudioStart, FileSize - ID3v1.TrailerLength());
            return true;
        }
        if (read < static_cast<std::int64_t>(chunk.size())) {
            return true;
        }
        start += read;
    }
}

bool TMPEGaudio::Analyse(const std::u16string& fileName) {
    // The tags are cleared by their loads, and again below when no frame is found, which is
    // also the case when a load fails or does not take place.
    ClearFacts();
    bool result = false;
    try {
        TTntFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        // The tags and the first frame are small reads near the two ends of the file.
        file.KeepReads();
        result = FindFirstFrame(file);
    } catch (const std::exception&) {
        result = false;
    }
    if (!Frame.Found) {
        Clear();
    }
    return result;
}

std::uint16_t TMPEGaudio::BitRate() const {
    if (!VBR.Found || VBR.VBRFrames <= 0) {
        return HeaderBitRate(Frame);
    }
    // Fewer bytes than frames is no stream at all: no bit rate rather than a negative one.
    if (VBR.VBRBytes < VBR.VBRFrames) {
        return 0;
    }
    const double perFrame = static_cast<double>(VBR.VBRBytes) / VBR.VBRFrames - PaddingSize(Frame);
    const double kbits = perFrame * HeaderSampleRate(Frame) / FrameCoefficient(Frame) / 1000;
    // Round half to even (the default rounding mode); a figure beyond 16 bits is as meaningless.
    const double rounded = std::nearbyint(kbits);
    if (!(rounded >= 0) || rounded > std::numeric_limits<std::uint16_t>::max()) {
        return 0;
    }
    return static_cast<std::uint16_t>(rounded);
}

std::uint16_t TMPEGaudio::SampleRate() const {
    return HeaderSampleRate(Frame);
}

std::string_view TMPEGaudio::ChannelModeName() const {
    return ChannelModeNames[std::min<std::size_t>(Frame.ChannelModeIndex, 4)];
}

std::uint8_t TMPEGaudio::Channels() const {
    return ChannelModeChannels[std::min<std::size_t>(Frame.ChannelModeIndex, 4)];
}

std::int64_t TMPEGaudio::FrameCount() const {
    if (VBR.Found) {
        return std::max(VBR.VBRFrames, 0);  // as the header states it; a wrapped count is none
    }
    if (!Frame.Found || Frame.Size == 0) {
        return 0;
    }
    return (AudioEnd - AudioStart) / Frame.Size;
}

double TMPEGaudio::Duration() const {
    if (!Frame.Found || HeaderSampleRate(Frame) == 0) {
        return 0;
    }
    if (VBR.Found && VBR.VBRFrames > 0) {
        // FrameCoefficient * 8 is the number of samples in a frame (384, 1152 or 576).
        const std::int64_t samples = std::int64_t{VBR.VBRFrames} * FrameCoefficient(Frame) * 8;
        return static_cast<double>(samples) / HeaderSampleRate(Frame);
    }
    if (HeaderBitRate(Frame) == 0) {
        return 0;
    }
    return static_cast<double>(AudioEnd - AudioStart) / HeaderBitRate(Frame) / 1000 * 8;
}
