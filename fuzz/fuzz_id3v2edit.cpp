// ID3v2, one field edited: load any file, set or empty one field (the input's first byte says
// which), save, and check through TagLib, an independent reader, in the same process: against
// the same file saved without the edit, only the edited field's frames differ; against the file
// as it came, every frame TagLib read is still there. Our own reading sees only the edited field
// change, and the bytes behind the tag (the audio and any trailer) stay as they were. The files
// live in memory: no file system between inputs.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzzfile.h"
#include "tags/id3v2frames.h"
#include "tags/tid3v2.h"
#include "tags/ttntfilestream.h"
#include "tests/support/id3v2fields.h"
#include "tests/support/taglibframes.h"

namespace {

using Lines = std::vector<std::string>;

bool LoadFrom(TID3v2& tag, std::vector<std::uint8_t>& file) {
    TTntFileStream stream(file);
    return tag.LoadTag(stream);
}

// version22: TagLib 1.13 reads three version-2.2 frames otherwise than version 2.2 defines them
// and other readers do: the original artist (TOA, TOPE) as an original album (TOAL), the lyricist
// (TXT, TEXT) as an original lyricist (TOLY), and the recording dates (TRD, TRDA, which it keeps
// unread in a version-2.3 tag) as the recording time (TDRC). Each pair is taken for one.
Lines TagLibLines(const std::vector<std::uint8_t>& file, bool version22 = false) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kTakenForOne = {
        {{"TOPE ", "TOAL"}, {"TEXT ", "TOLY"}, {"TRDA ", "TDRC"}}};
    Lines lines = taglibframes::Frames(file.data(), file.size());
    for (std::string& line : lines) {
        // Version 2.3 has only the year of an original release time (TORY).
        if (line.rfind("TDOR ", 0) == 0) {
            line.resize(std::min<std::size_t>(line.size(), 9));
        }
        for (const auto& [id, as] : kTakenForOne) {
            if (version22 && line.rfind(id, 0) == 0) {
                line.replace(0, 4, as);
            }
        }
    }
    return lines;
}

// What a frame is for the count: TagLib reads a version-2.3 TYER, TORY and IPLS as TDRC, TDOR
// and TIPL (and names a TDRC it finds in a version-2.3 tag TRDC), and TIPL and TMCL go into one
// list of people. Empty for what is not counted: TDAT and TIME, which TagLib folds into the
// recording time, and a version-2.2 frame TagLib does not know, kept under its three letters,
// which no reader shows and no later version can hold.
std::string Kind(const std::string& line) {
    const std::string id = line.substr(0, 4);
    if (id == "TDAT" || id == "TIME" || id[3] == ' ') {
        return {};
    }
    return id == "TYER" || id == "TRDC"   ? "TDRC"
           : id == "TORY"                 ? "TDOR"
           : id == "IPLS" || id == "TMCL" ? "TIPL"
                                          : id;
}

// A frame that shows nothing but its identifier, blanks and brackets (and zeros, where they are
// numbers): one of no content, which need not be kept.
bool ShowsNothing(const std::string& line) {
    return line.find_first_not_of(line[0] == 'T' ? " []|" : " []|0", 4) == std::string::npos;
}

// Fails the input, naming the frames TagLib read otherwise.
[[noreturn]] void Fail(int line, const char* what, const taglibframes::Difference& d) {
    std::string text = std::string(what) + ": TagLib's frames differ";
    for (const std::string& frame : d.removed) {
        text += "\n  removed: " + frame.substr(0, 200);
    }
    for (const std::string& frame : d.added) {
        text += "\n  added:   " + frame.substr(0, 200);
    }
    FuzzCheckFailed(__FILE__, line, text);
}

bool OfField(const std::string& line, const TId3v2Field& field) {
    return std::any_of(field.frames.begin(), field.frames.end(), [&](const char* id) {
        return id != nullptr && line.rfind(std::string(id) + " ", 0) == 0;
    });
}

std::vector<std::uint8_t> Audio(const std::vector<std::uint8_t>& file, const TID3v2& tag) {
    const auto at = static_cast<std::ptrdiff_t>(tag.Present() ? tag.TagSize() : 0);
    return {file.begin() + at, file.end()};
}

// Against the file as it came: nothing TagLib read is lost by a save without an edit.
void CheckNothingLostWithoutAnEdit(const std::vector<std::uint8_t>& original,
                                   const std::vector<std::uint8_t>& plain, const TID3v2& tag) {
    // Only a tag at the start of the file that fits in it is ours; TagLib also finds one behind
    // other bytes and reads one cut short by the end of the file. TagLib takes version-2.4
    // frame sizes as plain numbers frame by frame, where a tag is read one way or the other as
    // a whole here; where the plain reading was taken the two cannot agree.
    // TagLib 1.13 also takes the group byte of a grouped version-2.4 frame for part of its
    // length indicator.
    TID3v2Frames parsed;
    ParseID3v2(ByteSpan(original).first(static_cast<std::size_t>(tag.TagSize())), parsed);
    const bool grouped = parsed.version == 4 &&
                         std::any_of(parsed.frames.begin(), parsed.frames.end(),
                                     [](const TID3v2Frame& f) { return (f.format & 0x40) != 0; });
    // Frames behind damage (bytes that start no frame, or padding with other bytes behind it)
    // are not read here, as the reading rules say, where TagLib goes on by a damaged header's
    // size or reads a version-2.4 size the other way.
    if (!tag.Present() || tag.TagSize() == 0 || parsed.plainSizes || grouped || parsed.damaged) {
        return;
    }
    // Readers differ on malformed text (UTF-16 without a byte-order mark, UTF-8 that is not
    // well-formed), so only whole frames are counted: none of those TagLib read may be lost.
    const bool version22 = tag.MajorVersion() == 2;
    const Lines before = TagLibLines(original, version22);
    const Lines after = TagLibLines(plain, version22);
    const auto count = [](const Lines& lines, const std::string& kind) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& line) { return Kind(line) == kind; });
    };
    for (const std::string& line : before) {
        const std::string kind = Kind(line);
        if (kind.empty() || ShowsNothing(line)) {
            continue;
        }
        const auto had = std::count_if(before.begin(), before.end(), [&](const std::string& l) {
            return Kind(l) == kind && !ShowsNothing(l);
        });
        if (count(after, kind) < (kind == "TIPL" ? std::min<std::ptrdiff_t>(had, 1) : had)) {
            Fail(__LINE__, "saved without an edit", taglibframes::Compare(before, after));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 11) {
        return 0;
    }
    // Bits 0-3 pick the field, bit 7 empties it instead of setting a new value.
    const TId3v2Field& field = kId3v2Fields[data[0] % 12];
    const bool emptied = (data[0] & 0x80) != 0;
    std::vector<std::uint8_t> original(data + 1, data + size);

    TID3v2 tag;
    if (!LoadFrom(tag, original)) {
        return 0;
    }
    // A tag of a version this code cannot read is rewritten from empty fields; skip it.
    if (tag.Present() && (tag.MajorVersion() < 2 || tag.MajorVersion() > 4)) {
        return 0;
    }
    std::vector<std::uint8_t> plain = original;
    if (!TID3v2(tag).SaveTag(plain)) {
        return 0;
    }
    TID3v2 edited = tag;
    field.set(edited, emptied ? std::u16string() : u"Edited " + field.get(tag));
    std::vector<std::uint8_t> saved = original;
    FUZZ_CHECK(edited.SaveTag(saved));

    // The audio and the trailers behind the tag are carried over.
    const std::vector<std::uint8_t> audio = Audio(original, tag);
    TID3v2 again;
    FUZZ_CHECK(LoadFrom(again, saved));
    FUZZ_CHECK(Audio(saved, again) == audio);

    // Our reading: only the edited field changed. An empty title, artist, album or year reads
    // what the tag keeps behind it (content group, original artist, original album, recording
    // time), as the reading rules say, so it may read otherwise when that changed.
    for (const TId3v2Field& f : kId3v2Fields) {
        const bool fallback =
            f.get(edited).empty() &&
            std::string_view("Title Artist Album Year").find(f.name) != std::string_view::npos;
        if (f.get(again) != f.get(edited) && !fallback) {
            FUZZ_CHECK_FIELDS(f.name);
        }
    }

    // TagLib's reading: against the save without the edit only the field's frames differ, one
    // frame at most replaced.
    const taglibframes::Difference edit =
        taglibframes::Compare(TagLibLines(plain), TagLibLines(saved));
    const auto ofField = [&](const std::string& line) { return OfField(line, field); };
    if (!std::all_of(edit.removed.begin(), edit.removed.end(), ofField) ||
        !std::all_of(edit.added.begin(), edit.added.end(), ofField) || edit.removed.size() > 1) {
        Fail(__LINE__, field.name, edit);
    }
    CheckNothingLostWithoutAnEdit(original, plain, tag);
    return 0;
}
