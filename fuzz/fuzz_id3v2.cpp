// ID3v2: read any file, write the tag back, read it again. The fields survive the round trip
// and the bytes behind the tag (the audio) are carried over unchanged.
#include <algorithm>

#include "fuzzfile.h"
#include "tags/tid3v2.h"

namespace {

// The name of the first field that differs, or nullptr.
const char* DifferentField(const TID3v2& a, const TID3v2& b) {
    if (a.Title() != b.Title()) {
        return "Title";
    }
    if (a.Artist() != b.Artist()) {
        return "Artist";
    }
    if (a.Album() != b.Album()) {
        return "Album";
    }
    if (a.TrackNo() != b.TrackNo()) {
        return "TrackNo";
    }
    if (a.Year() != b.Year()) {
        return "Year";
    }
    if (a.Genre() != b.Genre()) {
        return "Genre";
    }
    if (a.Comment() != b.Comment()) {
        return "Comment";
    }
    if (a.Composer() != b.Composer()) {
        return "Composer";
    }
    if (a.EncodedBy() != b.EncodedBy()) {
        return "EncodedBy";
    }
    if (a.Copyright() != b.Copyright()) {
        return "Copyright";
    }
    if (a.Language() != b.Language()) {
        return "Language";
    }
    if (a.URL() != b.URL()) {
        return "URL";
    }
    if (a.OrigArtist() != b.OrigArtist()) {
        return "OrigArtist";
    }
    if (a.Lyrics() != b.Lyrics()) {
        return "Lyrics";
    }
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file(".mp3");
    file.Write(data, size);
    TID3v2 loaded;
    if (!loaded.LoadTag(file.Name())) {
        return 0;
    }
    // A tag of a version this code cannot read is rewritten from empty fields; skip it.
    if (loaded.Present() && (loaded.MajorVersion() < 2 || loaded.MajorVersion() > 4)) {
        return 0;
    }
    const std::size_t audioAt = loaded.Present() ? static_cast<std::size_t>(loaded.TagSize()) : 0;
    FUZZ_CHECK(audioAt <= size);
    if (!loaded.SaveTag(file.Name())) {
        return 0;
    }
    const std::vector<std::uint8_t> saved = file.Read();
    TID3v2 again;
    FUZZ_CHECK(again.LoadTag(file.Name()));
    FUZZ_CHECK(again.Present() && again.MajorVersion() == 3);
    const auto newAudioAt = static_cast<std::size_t>(again.TagSize());
    FUZZ_CHECK(saved.size() - newAudioAt == size - audioAt);
    FUZZ_CHECK(std::equal(
        data + audioAt, data + size,
        saved.begin() + std::ssize(saved) - static_cast<std::ptrdiff_t>(size - audioAt)));
    FUZZ_CHECK_FIELDS(DifferentField(loaded, again));
    return 0;
}
