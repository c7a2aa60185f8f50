#pragma once
// The fields of TID3v2 as a table, for the ID3v2 fuzz targets and tests: each with how to read and
// set it and the frames (as TagLib names them) its edit may change.

#include <array>
#include <string>

#include "tags/textcodec.h"
#include "tags/tid3v2.h"

struct TId3v2Field {
    const char* name;
    std::u16string (*get)(const TID3v2&);
    // nullptr for the fields only loading sets.
    void (*set)(TID3v2&, const std::u16string&);
    // An artist read from the original artist is written as what it read when that changes.
    std::array<const char*, 2> frames;
};

inline const std::array<TId3v2Field, 14> kId3v2Fields = {{
    {"Title",
     [](const TID3v2& t) { return t.Title(); },
     [](TID3v2& t, const std::u16string& v) { t.SetTitle(v); },
     {"TIT2"}},
    {"Artist",
     [](const TID3v2& t) { return t.Artist(); },
     [](TID3v2& t, const std::u16string& v) { t.SetArtist(v); },
     {"TPE1"}},
    {"Album",
     [](const TID3v2& t) { return t.Album(); },
     [](TID3v2& t, const std::u16string& v) { t.SetAlbum(v); },
     {"TALB"}},
    {"TrackNo",
     [](const TID3v2& t) { return Utf8ToUtf16(std::to_string(t.TrackNo())); },
     [](TID3v2& t, const std::u16string& v) {
         t.SetTrackNo(static_cast<std::uint16_t>(v.empty() ? 0 : t.TrackNo() + 1));
     },
     {"TRCK"}},
    {"Year",
     [](const TID3v2& t) { return t.Year(); },
     [](TID3v2& t, const std::u16string& v) { t.SetYear(v); },
     {"TDRC"}},
    {"Genre",
     [](const TID3v2& t) { return t.Genre(); },
     [](TID3v2& t, const std::u16string& v) { t.SetGenre(v); },
     {"TCON"}},
    {"Comment",
     [](const TID3v2& t) { return t.Comment(); },
     [](TID3v2& t, const std::u16string& v) { t.SetComment(v); },
     {"COMM"}},
    {"Composer",
     [](const TID3v2& t) { return t.Composer(); },
     [](TID3v2& t, const std::u16string& v) { t.SetComposer(v); },
     {"TCOM"}},
    {"EncodedBy",
     [](const TID3v2& t) { return t.EncodedBy(); },
     [](TID3v2& t, const std::u16string& v) { t.SetEncodedBy(v); },
     {"TENC"}},
    {"Copyright",
     [](const TID3v2& t) { return t.Copyright(); },
     [](TID3v2& t, const std::u16string& v) { t.SetCopyright(v); },
     {"TCOP"}},
    {"OrigArtist",
     [](const TID3v2& t) { return t.OrigArtist(); },
     [](TID3v2& t, const std::u16string& v) { t.SetOrigArtist(v); },
     {"TOPE", "TPE1"}},
    {"URL",
     [](const TID3v2& t) { return t.URL(); },
     [](TID3v2& t, const std::u16string& v) { t.SetURL(v); },
     {"WXXX"}},
    {"Language", [](const TID3v2& t) { return t.Language(); }, nullptr, {}},
    {"Lyrics", [](const TID3v2& t) { return t.Lyrics(); }, nullptr, {}},
}};

// The name of the first field that differs, or nullptr; skip names a field not to compare.
inline const char* DifferentField(const TID3v2& a, const TID3v2& b, const char* skip = nullptr) {
    for (const TId3v2Field& field : kId3v2Fields) {
        if (field.name != skip && field.get(a) != field.get(b)) {
            return field.name;
        }
    }
    return nullptr;
}
