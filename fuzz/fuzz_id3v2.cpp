// ID3v2: read any file, write the tag back, read it again. The fields survive the round trip
// and the bytes behind the tag (the audio) are carried over unchanged.
#include <algorithm>

#include "fuzzfile.h"
#include "tags/tid3v2.h"
#include "tags/ttntfilestream.h"
#include "tests/support/id3v2fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file lives in memory: no file system between inputs.
    std::vector<std::uint8_t> file(data, data + size);
    TID3v2 loaded;
    {
        TTntFileStream stream(file);
        if (!loaded.LoadTag(stream)) {
            return 0;
        }
    }
    // A tag of a version this code cannot read is rewritten from empty fields; skip it.
    if (loaded.Present() && (loaded.MajorVersion() < 2 || loaded.MajorVersion() > 4)) {
        return 0;
    }
    const std::size_t audioAt = loaded.Present() ? static_cast<std::size_t>(loaded.TagSize()) : 0;
    FUZZ_CHECK(audioAt <= size);
    if (!loaded.SaveTag(file)) {
        return 0;
    }
    const std::vector<std::uint8_t>& saved = file;
    TID3v2 again;
    TTntFileStream stream(file);
    FUZZ_CHECK(again.LoadTag(stream));
    FUZZ_CHECK(again.Present() && again.MajorVersion() == 3);
    const auto newAudioAt = static_cast<std::size_t>(again.TagSize());
    FUZZ_CHECK(saved.size() - newAudioAt == size - audioAt);
    FUZZ_CHECK(std::equal(
        data + audioAt, data + size,
        saved.begin() + std::ssize(saved) - static_cast<std::ptrdiff_t>(size - audioAt)));
    FUZZ_CHECK_FIELDS(DifferentField(loaded, again));
    return 0;
}
