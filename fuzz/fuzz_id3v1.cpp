// ID3v1 with its Lyrics3 block: read any file, write the tag back, read it again. The fields
// survive the round trip and every byte before the old trailer stays as it was.
#include <algorithm>

#include "fuzzfile.h"
#include "tags/tid3v1.h"
#include "tags/ttntfilestream.h"

namespace {

// The name of the first field that differs, or nullptr.
const char* DifferentField(const TID3v1& a, const TID3v1& b) {
    if (a.Title() != b.Title()) {
        return "Title";
    }
    if (a.Artist() != b.Artist()) {
        return "Artist";
    }
    if (a.Album() != b.Album()) {
        return "Album";
    }
    if (a.Year() != b.Year()) {
        return "Year";
    }
    if (a.Comment() != b.Comment()) {
        return "Comment";
    }
    if (a.Track() != b.Track()) {
        return "Track";
    }
    if (a.GenreIndex() != b.GenreIndex()) {
        return "GenreIndex";
    }
    if (a.ImageLink() != b.ImageLink()) {
        return "ImageLink";
    }
    if (a.LyricsAuthor() != b.LyricsAuthor()) {
        return "LyricsAuthor";
    }
    if (a.Lyrics() != b.Lyrics()) {
        return "Lyrics";
    }
    return nullptr;
}

// UTF-8 characters, as the tag's fields count them.
std::ptrdiff_t Characters(const std::string& text) {
    return std::count_if(text.begin(), text.end(),
                         [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

// The block is written only with lyrics, an author or an image link, and something long to carry.
bool BlockWritten(const TID3v1& tag) {
    const bool keeps =
        !tag.Lyrics().empty() || !tag.LyricsAuthor().empty() || !tag.ImageLink().empty();
    const bool carries = !tag.Lyrics().empty() || !tag.LyricsAuthor().empty() ||
                         !tag.ExtendedTitle().empty() || !tag.ExtendedArtist().empty() ||
                         !tag.ExtendedAlbum().empty() || !tag.ExtendedComment().empty() ||
                         Characters(tag.Comment()) > (tag.Track() > 0 ? 28 : 30);
    return keeps && carries;
}

bool LoadFrom(TID3v1& tag, std::vector<std::uint8_t>& file) {
    TTntFileStream stream(file);
    return tag.Load(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file lives in memory: no file system between inputs.
    std::vector<std::uint8_t> file(data, data + size);
    TID3v1 loaded;
    if (!LoadFrom(loaded, file)) {
        return 0;
    }
    const std::size_t kept = size - static_cast<std::size_t>(loaded.TrailerLength());
    FUZZ_CHECK(kept <= size);
    if (!loaded.Save(file)) {
        return 0;
    }
    const std::vector<std::uint8_t> saved = file;
    FUZZ_CHECK(saved.size() >= kept && std::equal(data, data + kept, saved.begin()));

    TID3v1 again;
    FUZZ_CHECK(LoadFrom(again, file));
    FUZZ_CHECK(again.TagPresent());
    FUZZ_CHECK(saved.size() - static_cast<std::size_t>(again.TrailerLength()) == kept);
    if (BlockWritten(loaded)) {
        FUZZ_CHECK_FIELDS(DifferentField(loaded, again));
    }
    // Without a block the long texts are cut to the tag's fields; from then on they hold.
    FUZZ_CHECK(again.Save(file));
    TID3v1 third;
    FUZZ_CHECK(LoadFrom(third, file));
    FUZZ_CHECK_FIELDS(DifferentField(again, third));

    // Stripping leaves exactly the bytes before the trailer.
    FUZZ_CHECK(again.Strip(file));
    FUZZ_CHECK(file.size() == kept && std::equal(data, data + kept, file.begin()));
    return 0;
}
