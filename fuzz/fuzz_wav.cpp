// The WAV header reader, on the bytes directly and through the file.
#include <span>

#include "analysis/twavfile.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file(".wav");
    TWAVfile direct;
    const bool parsed = direct.AnalyseHeader(std::span(data, size));
    file.Write(data, size);
    TWAVfile viaFile;
    // Both ways read the same 44 bytes, so they agree.
    FUZZ_CHECK(viaFile.Analyse(file.Path()) == parsed);
    FUZZ_CHECK(viaFile.Valid == direct.Valid);
    if (viaFile.Valid) {
        FUZZ_CHECK(viaFile.Channels == 1 || viaFile.Channels == 2);
        FUZZ_CHECK(viaFile.SampleRate == direct.SampleRate);
    }
    return 0;
}
