// Frames of version 2.2, 2.3 and 2.4 tags in the form the saved version-2.3 tag holds them.

#include "tags/id3v2convert.h"

#include "tagfixtures.h"

using namespace fixtures;

namespace {

// A frame as the saved tag holds it: identifier, flag bytes, everything after the header.
struct Saved {
    std::string id;
    std::uint8_t status = 0;
    std::uint8_t format = 0;
    Bytes data;
    bool operator==(const Saved&) const = default;
};

void PrintTo(const Saved& f, std::ostream* os) {
    *os << f.id << " " << int{f.status} << "/" << int{f.format} << " "
        << testing::PrintToString(f.data);
}

std::vector<Saved> Converted(const Bytes& tag) {
    TID3v2Frames parsed;
    EXPECT_TRUE(ParseID3v2(tag, parsed));
    std::vector<Saved> saved;
    for (const TID3v2Frame& f : ToVersion3(parsed)) {
        saved.push_back({f.id, f.status, f.format, f.data});
    }
    return saved;
}

Bytes Wide(std::u16string_view text) {
    return Join({Bytes{1}, Utf16Le(text)});
}

}  // namespace

TEST(ID3v2Convert, FramesTakeTheirVersionThreeForm) {
    struct Case {
        std::string name;
        Bytes tag;
        std::vector<Saved> saved;
    };
    const auto v4 = [](std::string_view id, const Bytes& content, std::uint8_t flags0 = 0,
                       std::uint8_t flags1 = 0) {
        return Frame(id, content, SizeCoding::Syncsafe, flags0, flags1);
    };
    const auto v2 = [](std::string_view id, const Bytes& content) {
        return Frame(id, content, SizeCoding::Bits24);
    };
    const Bytes utf8 = Text("Caf\xc3\xa9 \xe2\x98\x83");
    const Bytes image = Payload(40, 3);
    const Bytes deflated = Payload(30, 4);
    const Case cases[] = {
        {"2.4 UTF-8 and UTF-16BE text, several values",
         Id3v2(4, Join({v4("TIT2", Join({Bytes{3}, utf8})),
                        v4("TPE1", Join({Bytes{2}, Utf16Be(u"A", false), Bytes{0, 0},
                                         Utf16Be(u"\u00c9", false)})),
                        v4("TSOP", Join({Bytes{3}, Text("Sort"), Bytes{0}}))})),
         {{"TIT2", 0, 0, Wide(u"Caf\u00e9 \u2603")},
          {"TPE1", 0, 0, Join({Wide(u"A"), Bytes{0, 0}, Utf16Le(u"\u00c9")})},
          {"TSOP", 0, 0, Join({Wide(u"Sort"), Bytes{0, 0}})}}},
        {"2.4 described frames in UTF-8",
         Id3v2(4, Join({v4("COMM", Join({Bytes{3}, Text("deu"), Text("d"), Bytes{0}, utf8})),
                        v4("TXXX", Join({Bytes{3}, Text("key"), Bytes{0}, Text("v")})),
                        v4("WXXX", Join({Bytes{3}, utf8, Bytes{0}, Text("http://x")})),
                        v4("APIC", Join({Bytes{3}, Text("image/png"), Bytes{0, 3}, Text("c"),
                                         Bytes{0}, image}))})),
         {{"COMM", 0, 0,
           Join({Bytes{1}, Text("deu"), Utf16Le(u"d"), Bytes{0, 0}, Utf16Le(u"Caf\u00e9 \u2603")})},
          {"TXXX", 0, 0, Join({Wide(u"key"), Bytes{0, 0}, Utf16Le(u"v")})},
          {"WXXX", 0, 0, Join({Wide(u"Caf\u00e9 \u2603"), Bytes{0, 0}, Text("http://x")})},
          {"APIC", 0, 0,
           Join({Bytes{1}, Text("image/png"), Bytes{0, 3}, Utf16Le(u"c"), Bytes{0, 0}, image})}}},
        {"2.4 times and people",
         Id3v2(4, Join({v4("TDRC", Latin("2001-05-06T12:30:45")), v4("TDOR", Latin("1999-02-03")),
                        v4("TIPL", Join({Latin("mix"), Bytes{0}, Text("Ana")})),
                        v4("TMCL", Join({Bytes{3}, Text("bass"), Bytes{0}, Text("Budi")}))})),
         {{"TYER", 0, 0, Latin("2001")},
          {"TDAT", 0, 0, Latin("0605")},
          {"TIME", 0, 0, Latin("1230")},
          {"TORY", 0, 0, Latin("1999")},
          {"IPLS", 0, 0,
           Join({Wide(u"mix"), Bytes{0, 0}, Utf16Le(u"Ana"), Bytes{0, 0}, Utf16Le(u"bass"),
                 Bytes{0, 0}, Utf16Le(u"Budi")})}}},
        {"2.4 times beside the tag's own year, and without one",
         Id3v2(4, Join({v4("TYER", Latin("1998")), v4("TDRC", Latin("2001-05")),
                        v4("TDOR", Bytes{1, 0xFF, 0xFE})})),
         {{"TYER", 0, 0, Latin("1998")},
          {"TDRC", 0, 0, Latin("2001-05")},
          {"TDOR", 0, 0, Bytes{1, 0xFF, 0xFE}}}},
        {"2.4 flags: read-only, grouped, compressed, encrypted",
         Id3v2(4, Join({v4("TIT2", Join({Bytes{7}, Latin("T")}), 0x10, 0x40),
                        v4("PRIV", Join({Bytes{0, 0, 0x01, 0x00}, deflated}), 0, 0x09),
                        v4("GEOB", Join({Bytes{9, 0x80}, deflated}), 0x40, 0x44),
                        v4("PRIV", deflated, 0, 0x08)})),
         {{"TIT2", 0x20, 0x20, Join({Bytes{7}, Latin("T")})},
          {"PRIV", 0, 0x80, Join({Bytes{0, 0, 0, 0x80}, deflated})},
          {"GEOB", 0x80, 0x60, Join({Bytes{0x80, 9}, deflated})}}},
        {"2.2 identifiers and picture",
         Id3v2(2, Join({v2("TT2", Latin("T")), v2("TCP", Latin("1")),
                        v2("COM", Join({Latin("eng"), Bytes{0}, Text("c")})),
                        v2("PIC", Join({Latin("JPG"), Bytes{3}, Text("d"), Bytes{0}, image})),
                        v2("LNK", Join({Text("TT2"), Text("http://x"), Bytes{0}})),
                        v2("CRM", Latin("secret")), v2("XYZ", Latin("unknown"))})),
         {{"TIT2", 0, 0, Latin("T")},
          {"TCMP", 0, 0, Latin("1")},
          {"COMM", 0, 0, Join({Latin("eng"), Bytes{0}, Text("c")})},
          {"APIC", 0, 0, Join({Latin("image/jpeg"), Bytes{0, 3}, Text("d"), Bytes{0}, image})},
          {"LINK", 0, 0, Join({Text("TIT2"), Text("http://x"), Bytes{0}})}}},
        {"2.3 byte for byte, but for text in well-formed UTF-8",
         Id3v2(3, Join({Frame("PRIV", deflated, SizeCoding::Plain, 0x40, 0x80),
                        Frame("TALB", Join({Bytes{3}, utf8})),
                        Frame("TPE1", Join({Bytes{3}, Text("\xff broken")}))})),
         {{"PRIV", 0x40, 0x80, deflated},
          {"TALB", 0, 0, Wide(u"Caf\u00e9 \u2603")},
          {"TPE1", 0, 0, Join({Bytes{3}, Text("\xff broken")})}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Converted(c.tag), c.saved) << c.name;
    }
}
