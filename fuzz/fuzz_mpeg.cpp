// The MPEG analyser over any bytes: first frame, Xing/VBRI header, both ID3 tags and Lyrics3.
#include "analysis/tmpegaudio.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file(".mp3");
    file.Write(data, size);
    TMPEGaudio mpeg;
    if (mpeg.Analyse(file.Name())) {
        // The derived figures are computed on demand; each must be defined for any header.
        volatile double duration = mpeg.Duration();
        volatile std::int64_t frames = mpeg.FrameCount();
        volatile unsigned figures = mpeg.BitRate() + mpeg.SampleRate() + mpeg.Channels() +
                                    static_cast<unsigned>(mpeg.ChannelModeName().size());
        (void)duration;
        (void)frames;
        (void)figures;
        FUZZ_CHECK(mpeg.AudioStart >= 0 && mpeg.AudioStart <= mpeg.FileSize);
    }
    return 0;
}
