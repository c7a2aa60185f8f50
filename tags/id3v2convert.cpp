#include "tags/id3v2convert.h"

#include "tags/textcodec.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct TIdPair {
    std::string_view v2;
    std::string_view v3;
};

// Version-2.2 identifiers and their version-2.3 ones, the common programs' own among them
// (TCP, TS2, TSA, TSC, TSP, TST, GP1, MVN, MVI, PCS, TCT, TDS, TID, WFD). PIC and LNK change their
// layout as well.
constexpr std::array<TIdPair, 78> kVersion2Ids = {{
    {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"},
    {"EQU", "EQUA"}, {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"LNK", "LINK"}, {"MCI", "MCDI"},
    {"MLL", "MLLT"}, {"PIC", "APIC"}, {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"},
    {"SLT", "SYLT"}, {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"},
    {"TCO", "TCON"}, {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"},
    {"TFT", "TFLT"}, {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"},
    {"TMT", "TMED"}, {"TOA", "TOPE"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"},
    {"TOT", "TOAL"}, {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"},
    {"TPA", "TPOS"}, {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"},
    {"TSI", "TSIZ"}, {"TSS", "TSSE"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"},
    {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"},
    {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"},
    {"WPB", "WPUB"}, {"WXX", "WXXX"}, {"TCP", "TCMP"}, {"TS2", "TSO2"}, {"TSA", "TSOA"},
    {"TSC", "TSOC"}, {"TSP", "TSOP"}, {"TST", "TSOT"}, {"GP1", "GRP1"}, {"MVN", "MVNM"},
    {"MVI", "MVIN"}, {"PCS", "PCST"}, {"TCT", "TCAT"}, {"TDS", "TDES"}, {"TID", "TGID"},
    {"WFD", "WFED"}, {"TKW", "TKWD"}, {"TDR", "TDRL"},
}};

std::optional<std::string_view> Version3Id(std::string_view v2) {
    for (const TIdPair& pair : kVersion2Ids) {
        if (pair.v2 == v2) {
            return pair.v3;
        }
    }
    return std::nullopt;
}

// Where the text of a frame lies, after its encoding byte, one letter a field:
//   T  the rest is a list of strings       e  a string with its terminator
//   l  an 8-bit string with its zero       R  the rest, bytes
//   1, 3, 8  that many bytes               S  the rest: strings, each with a 4-byte time
struct TLayout {
    std::string_view id;
    std::string_view fields;
};
constexpr std::array<TLayout, 10> kLayouts = {{
    {"COMM", "3T"},
    {"USLT", "3T"},
    {"USER", "3T"},
    {"WXXX", "eR"},
    {"APIC", "l1eR"},
    {"GEOB", "leeR"},
    {"SYLT", "311eS"},
    {"OWNE", "l8T"},
    {"COMR", "l8l1eelR"},
    {"IPLS", "T"},
}};

// The layout of a version-2.3 (or 2.4) frame with text; empty for a frame without.
std::string_view LayoutOf(std::string_view id) {
    for (const TLayout& layout : kLayouts) {
        if (layout.id == id) {
            return layout.fields;
        }
    }
    // Every other frame whose identifier starts with T is a text frame (TXXX too: its
    // description and value are a list of two).
    return !id.empty() && id[0] == 'T' ? "T" : "";
}

// The string in UTF-16 after out; false for UTF-8 that is not well-formed, which no reading
// would turn into the same text, so the frame is better carried as it is.
bool AppendWide(Bytes& out, std::uint8_t encoding, ByteSpan string, bool terminated) {
    if (encoding == 3 && !IsValidUtf8(AsChars(string))) {
        return false;
    }
    const Bytes wide = EncodeUtf16(DecodeString(encoding, string));
    out.insert(out.end(), wide.begin(), wide.end());
    if (terminated) {
        out.insert(out.end(), {0, 0});
    }
    return true;
}

// The content with its UTF-8 or UTF-16BE strings in UTF-16 with a byte-order mark; nullopt when
// it needs no conversion or does not hold what its layout says (then it is carried as it is).
std::optional<Bytes> WideContent(ByteSpan content, std::string_view layout) {
    if (content.empty() || (content[0] != 2 && content[0] != 3) || layout.empty()) {
        return std::nullopt;
    }
    const std::uint8_t encoding = content[0];
    Bytes out{1};
    out.reserve(content.size() * 2);
    std::size_t at = 1;
    const auto rest = [&] { return content.subspan(at); };
    const auto copy = [&](std::size_t n) {
        out.insert(out.end(), content.begin() + static_cast<std::ptrdiff_t>(at),
                   content.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    };
    for (const char field : layout) {
        switch (field) {
            case '1':
            case '3':
            case '8': {
                const std::size_t n = static_cast<std::size_t>(field - '0');
                if (rest().size() < n) {
                    return std::nullopt;
                }
                copy(n);
                break;
            }
            case 'l': {
                const std::optional<TStringEnd> end = FindTerminator(0, rest());
                if (!end) {
                    return std::nullopt;
                }
                copy(end->next);
                break;
            }
            case 'e': {
                const std::optional<TStringEnd> end = FindTerminator(encoding, rest());
                if (!end) {
                    return std::nullopt;
                }
                if (!AppendWide(out, encoding, rest().first(end->length), true)) {
                    return std::nullopt;
                }
                at += end->next;
                break;
            }
            case 'S':
                while (!rest().empty()) {
                    const std::optional<TStringEnd> end = FindTerminator(encoding, rest());
                    if (!end || rest().size() < end->next + 4 ||
                        !AppendWide(out, encoding, rest().first(end->length), true)) {
                        return std::nullopt;
                    }
                    at += end->next;
                    copy(4);
                }
                break;
            case 'T':
                while (!rest().empty()) {
                    const std::optional<TStringEnd> end = FindTerminator(encoding, rest());
                    if (!(end ? AppendWide(out, encoding, rest().first(end->length), true)
                              : AppendWide(out, encoding, rest(), false))) {
                        return std::nullopt;
                    }
                    at += end ? end->next : rest().size();
                }
                at = content.size();
                break;
            default:  // 'R'
                copy(rest().size());
                break;
        }
    }
    return out;
}

// A readable frame of version 2.3 form with the content given and the flag bytes kept.
TID3v2Frame Readable(std::string_view id, std::uint8_t status, Bytes content) {
    TID3v2Frame frame;
    frame.id = id;
    frame.status = status;
    frame.data = std::move(content);
    return frame;
}

// The frame's content converted, or as it is.
Bytes Converted(std::string_view id, ByteSpan content) {
    std::optional<Bytes> wide = WideContent(content, LayoutOf(id));
    return wide ? std::move(*wide) : Bytes(content.begin(), content.end());
}

// A text frame of one short string: 8-bit when it is ASCII, else UTF-16.
TID3v2Frame TextFrame(std::string_view id, std::uint8_t status, const std::u16string& text) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
    Bytes content{static_cast<std::uint8_t>(ascii ? 0 : 1)};
    if (ascii) {
        content.insert(content.end(), text.begin(), text.end());
    } else {
        const Bytes wide = EncodeUtf16(text);
        content.insert(content.end(), wide.begin(), wide.end());
    }
    return Readable(id, status, std::move(content));
}

bool Digits(std::u16string_view text, std::size_t at, std::size_t count) {
    return text.size() >= at + count &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at),
                       text.begin() + static_cast<std::ptrdiff_t>(at + count),
                       [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// Version-2.4 frames become version-2.3 ones as they go through this.
class TFromVersion4 {
public:
    TFromVersion4(const std::vector<TID3v2Frame>& frames, std::vector<TID3v2Frame>& out)
        : frames_(frames), out_(out) {
        // Of several recording times, the year is read from the last: that one goes into TYER.
        for (const TID3v2Frame& frame : frames_) {
            if (frame.id == "TDRC" && !frame.opaque && !frame.Content().empty()) {
                recordingTime_ = &frame;
            }
        }
    }

    void Add(const TID3v2Frame& frame) {
        // Status flags: tag alter, file alter and read-only preservation move up a bit.
        const std::uint8_t status = static_cast<std::uint8_t>(((frame.status & 0x70) << 1));
        if (frame.opaque) {
            AddOpaque(frame, status);
            return;
        }
        // Only a group byte stays in front of the content; unsynchronisation is undone and the
        // data length indicator is of no use in version 2.3.
        const bool grouped = (frame.format & 0x40) != 0;
        const ByteSpan content = frame.Content();
        if ((&frame == recordingTime_ && AddRecordingTime(content, status)) ||
            (frame.id == "TDOR" && AddOriginalYear(DecodeText(content), status))) {
            return;
        }
        if (frame.id == "TIPL" || frame.id == "TMCL") {
            AddPeople(content, status);
        } else {
            TID3v2Frame converted = Readable(frame.id, status, Converted(frame.id, content));
            if (grouped && !frame.data.empty()) {
                converted.format = 0x20;
                converted.data.insert(converted.data.begin(), frame.data[0]);
                converted.contentAt = 1;
            }
            out_.push_back(std::move(converted));
        }
    }

private:
    bool Has(std::string_view id) const {
        return std::any_of(frames_.begin(), frames_.end(),
                           [&](const TID3v2Frame& f) { return f.id == id; });
    }

    // Compressed or encrypted: the bytes are carried, their flag bytes laid out as version 2.3
    // has them (decompressed size, encryption method, group).
    void AddOpaque(const TID3v2Frame& frame, std::uint8_t status) {
        const ByteSpan data = frame.data;
        std::size_t at = 0;
        Bytes prefix;
        std::uint8_t format = 0;
        std::optional<std::uint8_t> group;
        std::optional<std::uint8_t> method;
        std::optional<std::uint32_t> length;
        const std::size_t announced = ((frame.format & 0x40) != 0 ? 1 : 0) +
                                      ((frame.format & 0x04) != 0 ? 1 : 0) +
                                      ((frame.format & 0x01) != 0 ? 4 : 0);
        if (announced > data.size()) {
            // Too short for what its flags say: damaged, nothing a reader could show.
            return;
        }
        if ((frame.format & 0x40) != 0) {
            group = data[at++];
        }
        if ((frame.format & 0x04) != 0) {
            method = data[at++];
        }
        if ((frame.format & 0x01) != 0) {
            length = ReadSyncsafe32(data, at);
            at += 4;
        }
        if ((frame.format & 0x08) != 0) {
            if (!length) {
                return;
            }
            format |= 0x80;
            AppendBE32(prefix, *length);
        }
        if (method) {
            format |= 0x40;
            prefix.push_back(*method);
        }
        if (group) {
            format |= 0x20;
            prefix.push_back(*group);
        }
        TID3v2Frame converted = Readable(frame.id, status, std::move(prefix));
        converted.format = format;
        converted.contentAt = converted.data.size();
        converted.data.insert(converted.data.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                              data.end());
        converted.opaque = true;
        out_.push_back(std::move(converted));
    }

    // A recording time of one timestamp ("2001", "2001-05-06", "2001-05-06T12:30", ...) becomes
    // TYER 2001, TDAT 0605 and TIME 1230, which keep it to the minute; a frame the tag has of its
    // own is not made twice. False, and nothing made, for anything else (several values, other
    // text) and when the tag has its own year: the frame is then carried as it is.
    bool AddRecordingTime(ByteSpan content, std::uint8_t status) {
        const std::optional<TStringEnd> end =
            content.empty() ? std::nullopt : FindTerminator(content[0], content.subspan(1));
        const std::u16string time = DecodeText(content);
        const std::size_t n = time.size();
        const bool timestamp = (!end || end->next == content.size() - 1) && Digits(time, 0, 4) &&
                               (n == 4 || (n >= 7 && time[4] == u'-' && Digits(time, 5, 2))) &&
                               (n <= 7 || (n >= 10 && time[7] == u'-' && Digits(time, 8, 2))) &&
                               (n <= 10 || (n >= 13 && time[10] == u'T' && Digits(time, 11, 2))) &&
                               (n <= 13 || (n >= 16 && time[13] == u':' && Digits(time, 14, 2))) &&
                               (n <= 16 || (n == 19 && time[16] == u':' && Digits(time, 17, 2)));
        if (!timestamp || Has("TYER")) {
            return false;
        }
        out_.push_back(TextFrame("TYER", status, time.substr(0, 4)));
        if (n >= 10 && !Has("TDAT")) {
            out_.push_back(TextFrame("TDAT", status, time.substr(8, 2) + time.substr(5, 2)));
        }
        if (n >= 16 && !Has("TIME")) {
            out_.push_back(TextFrame("TIME", status, time.substr(11, 2) + time.substr(14, 2)));
        }
        return true;
    }

    // The year of an original release time in TORY, on the same terms.
    bool AddOriginalYear(const std::u16string& time, std::uint8_t status) {
        const std::u16string year = Trim(time.substr(0, 4));
        if (year.empty() || Has("TORY")) {
            return false;
        }
        out_.push_back(TextFrame("TORY", status, year));
        return true;
    }

    // TIPL and TMCL go into one IPLS where the first of them was.
    void AddPeople(ByteSpan content, std::uint8_t status) {
        if (!people_) {
            people_ = out_.size();
            out_.push_back(Readable("IPLS", status, Converted("IPLS", content)));
            return;
        }
        Bytes& merged = out_[*people_].data;
        const std::vector<std::u16string> names = Strings(merged);
        const std::vector<std::u16string> more = Strings(content);
        merged = {1};
        std::size_t count = 0;
        for (const auto* list : {&names, &more}) {
            for (const std::u16string& name : *list) {
                if (count++ > 0) {
                    merged.insert(merged.end(), {0, 0});
                }
                const Bytes wide = EncodeUtf16(name);
                merged.insert(merged.end(), wide.begin(), wide.end());
            }
        }
    }

    // The strings of a list, without the empty one after a final terminator; 8-bit ones in
    // Latin-1, as the format defines them.
    static std::vector<std::u16string> Strings(ByteSpan content) {
        std::vector<std::u16string> strings;
        if (content.empty()) {
            return strings;
        }
        const std::uint8_t encoding = content[0];
        ByteSpan rest = content.subspan(1);
        while (!rest.empty()) {
            const std::optional<TStringEnd> end = FindTerminator(encoding, rest);
            const ByteSpan string = rest.first(end ? end->length : rest.size());
            strings.push_back(encoding == 0 ? Latin1ToUtf16(AsChars(string))
                                            : DecodeString(encoding, string));
            rest = rest.subspan(end ? end->next : rest.size());
        }
        return strings;
    }

    const std::vector<TID3v2Frame>& frames_;
    std::vector<TID3v2Frame>& out_;
    const TID3v2Frame* recordingTime_ = nullptr;
    std::optional<std::size_t> people_;
};

// A version-2.2 picture: a three-letter image format where APIC has a MIME type.
std::optional<Bytes> PictureContent(ByteSpan pic) {
    if (pic.size() < 5) {
        return std::nullopt;
    }
    std::string format(AsChars(pic.subspan(1, 3)));
    std::transform(format.begin(), format.end(), format.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    const std::string mime = format == "jpg"   ? "image/jpeg"
                             : format == "-->" ? "-->"
                                               : "image/" + format;
    Bytes apic{pic[0]};
    AppendText(apic, mime);
    apic.push_back(0);
    apic.insert(apic.end(), pic.begin() + 4, pic.end());
    return apic;
}

void AddVersion2(const TID3v2Frame& frame, std::vector<TID3v2Frame>& out) {
    const std::optional<std::string_view> id = Version3Id(frame.id);
    if (!id) {
        return;
    }
    const ByteSpan content = frame.Content();
    std::optional<Bytes> converted;
    if (*id == "APIC") {
        converted = PictureContent(content);
    } else if (*id == "LINK") {
        // The linked frame's identifier has three letters too.
        const std::optional<std::string_view> linked =
            content.size() >= 3 ? Version3Id(AsChars(content.first(3))) : std::nullopt;
        if (linked) {
            converted = Bytes(linked->begin(), linked->end());
            converted->insert(converted->end(), content.begin() + 3, content.end());
        }
    } else {
        converted = Bytes(content.begin(), content.end());
    }
    if (converted) {
        out.push_back(Readable(*id, 0, Converted(*id, *converted)));
    }
}

}  // namespace

std::vector<TID3v2Frame> ToVersion3(const TID3v2Frames& tag) {
    std::vector<TID3v2Frame> out;
    out.reserve(tag.frames.size());
    TFromVersion4 fromVersion4(tag.frames, out);
    for (const TID3v2Frame& frame : tag.frames) {
        if (tag.version == 2) {
            AddVersion2(frame, out);
        } else if (tag.version == 4) {
            fromVersion4.Add(frame);
        } else if (frame.opaque) {
            out.push_back(frame);
        } else {
            // Version 2.3 as it is, but for text in an encoding it does not define.
            TID3v2Frame converted = frame;
            if (std::optional<Bytes> wide = WideContent(frame.Content(), LayoutOf(frame.id))) {
                converted.data.resize(frame.contentAt);
                converted.data.insert(converted.data.end(), wide->begin(), wide->end());
            }
            out.push_back(std::move(converted));
        }
    }
    // A frame of no content holds nothing; an empty one ends the tag for other readers.
    std::erase_if(out, [](const TID3v2Frame& frame) {
        return frame.data.empty() || (!frame.opaque && frame.Content().empty());
    });
    return out;
}
