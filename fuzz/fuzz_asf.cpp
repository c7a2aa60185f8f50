// The ASF header walk of the WMA reader.
#include <span>

#include "analysis/twmafile.h"
#include "fuzzfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TWMAfile wma;
    wma.AnalyseBytes(std::span(data, size));
    if (wma.Valid) {
        FUZZ_CHECK(wma.Channels >= 1 && wma.Channels <= 6);
    }
    return 0;
}
