#include "tags/tid3v2.h"

#include "tags/bytes.h"
#include "tags/efileerror.h"
#include "tags/id3v2convert.h"
#include "tags/id3v2frames.h"
#include "tags/textcodec.h"
#include "tags/tfilesave.h"
#include "tags/ttntfilestream.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>

namespace {

constexpr std::size_t kHeaderLength = 10;
constexpr std::int64_t kPaddedTagSize = 4096;
// The header's size field holds 28 bits.
constexpr std::int64_t kMaxTagSize = (std::int64_t{1} << 28) - 1 + kHeaderLength;
constexpr std::uint8_t kFlagFooter = 0x10;

// The 17 slots: the frame identifier for versions 3 and 4, and for version 2.
struct TSlotId {
    std::string_view v34;
    std::string_view v2;
};
constexpr std::array<TSlotId, 17> kSlotIds = {{
    {"TIT2", "TT2"},  // title
    {"TPE1", "TP1"},  // artist
    {"TALB", "TAL"},  // album
    {"TRCK", "TRK"},  // track
    {"TYER", "TYE"},  // year
    {"TCON", "TCO"},  // genre
    {"COMM", "COM"},  // comment
    {"TCOM", "TCM"},  // composer
    {"TENC", "TEN"},  // encoded by
    {"TCOP", "TCR"},  // copyright
    {"TLAN", "TLA"},  // language
    {"WXXX", "WXX"},  // URL
    {"TDRC", "TOR"},  // recording time: fallback of the year, not saved
    {"TOPE", "TOA"},  // original artist, fallback of the artist
    {"TIT1", "TT1"},  // content group: fallback of the title, not saved
    {"TOAL", "TOT"},  // original album: fallback of the album, not saved
    {"USLT", "ULT"},  // lyrics
}};
enum TSlot : std::size_t {
    sTitle,
    sArtist,
    sAlbum,
    sTrack,
    sYear,
    sGenre,
    sComment,
    sComposer,
    sEncodedBy,
    sCopyright,
    sLanguage,
    sURL,
    sRecordingTime,
    sOrigArtist,
    sContentGroup,
    sOrigAlbum,
    sLyrics,
};

std::optional<std::size_t> SlotOf(std::string_view id, std::uint8_t version) {
    for (std::size_t i = 0; i < kSlotIds.size(); ++i) {
        if ((version == 2 ? kSlotIds[i].v2 : kSlotIds[i].v34) == id) {
            return i;
        }
    }
    return std::nullopt;
}

// The first 10 bytes of the file and what they say.
struct THeader {
    std::array<std::uint8_t, kHeaderLength> bytes{};
    std::int64_t fileSize = 0;
    bool isId3 = false;
    std::uint8_t version = 0;
    std::uint8_t flags = 0;
    // Header, frames, padding and footer; 0 without a tag or when it exceeds the file.
    std::int64_t tagSize = 0;
};

// Fills in what the header's bytes say about the tag in a file of the header's size.
void DescribeTag(THeader& header) {
    header.isId3 = AsChars(header.bytes).substr(0, 3) == "ID3";
    if (header.isId3) {
        header.version = header.bytes[3];
        header.flags = header.bytes[5];
        header.tagSize = ReadSyncsafe32(header.bytes, 6) + std::int64_t{kHeaderLength};
        if ((header.flags & kFlagFooter) != 0) {
            header.tagSize += kHeaderLength;
        }
        if (header.tagSize > header.fileSize) {
            header.tagSize = 0;
        }
    }
}

std::optional<THeader> ReadHeader(const std::u16string& fileName) {
    try {
        TTntFileStream file(fileName, fmShareDenyWrite);
        THeader header;
        header.fileSize = file.Size();
        if (file.ReadAt(0, header.bytes.data(), kHeaderLength) != kHeaderLength) {
            return std::nullopt;
        }
        DescribeTag(header);
        return header;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The header and, when the file holds a tag of a size it can hold, the whole tag, read through
// the handle in one or two calls; complete tells whether every byte of the tag came in.
struct TTagBytes {
    THeader header;
    Bytes tag;
    bool complete = false;
};

// Where a load goes on reading a tag whose first bytes are in: past the content of a frame that
// no field is read from (a picture; DecodeFrames reads slot frames only) when that content runs
// past them, so its bytes stay unread (zero). Only in versions 2.2 and 2.3 without
// unsynchronisation or an extended header, whose frame sizes tell plainly where the next frame
// starts, and only for a frame without flags; anywhere else right after the head.
std::int64_t LoadResumesAt(ByteSpan head, const THeader& header) {
    constexpr std::uint8_t kUnsynchronisedOrExtended = 0xC0;
    const auto known = static_cast<std::int64_t>(head.size());
    if ((header.version != 2 && header.version != 3) ||
        (header.flags & kUnsynchronisedOrExtended) != 0) {
        return known;
    }
    const std::size_t headerLength = header.version == 2 ? 6 : 10;
    const std::size_t idLength = header.version == 2 ? 3 : 4;
    std::size_t at = kHeaderLength;
    while (at + headerLength <= head.size() && head[at] >= 'A' && head[at] <= 'Z') {
        const std::uint32_t size =
            header.version == 2 ? ReadBE24(head, at + 3) : ReadBE32(head, at + 4);
        const std::int64_t next = static_cast<std::int64_t>(at + headerLength) + size;
        if (next <= known) {
            at = static_cast<std::size_t>(next);
            continue;
        }
        const std::string_view id = AsChars(head.subspan(at, idLength));
        // A frame with flags (compressed, encrypted, grouped) has its content looked into.
        const bool flagged = header.version == 3 && (head[at + 8] | head[at + 9]) != 0;
        const bool read =
            flagged || SlotOf(id, header.version).has_value() || (size & 0x80000000u) != 0;
        return read ? known : std::min(next, header.tagSize);
    }
    return known;
}

// forLoad: the bytes of frames a load reads no field from may stay unread (zero).
std::optional<TTagBytes> ReadTagBytes(TTntFileStream& file, bool forLoad) {
    // Most tags fit the first read, which the MPEG analyser's next read then finds kept by the
    // stream (TTntFileStream::KeepReads).
    constexpr std::int64_t kFirstRead = 4096;
    TTagBytes read;
    THeader& header = read.header;
    header.fileSize = file.Size();
    if (header.fileSize < std::int64_t{kHeaderLength}) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kFirstRead> head;
    const std::int64_t first =
        file.ReadAt(0, head.data(), std::min<std::int64_t>(header.fileSize, kFirstRead));
    if (first < std::int64_t{kHeaderLength}) {
        return std::nullopt;
    }
    std::copy_n(head.begin(), kHeaderLength, header.bytes.begin());
    DescribeTag(header);
    // The tag is bounded by the file, and its size field by 28 bits.
    const std::int64_t tagSize = header.isId3 ? header.tagSize : 0;
    read.tag.reserve(static_cast<std::size_t>(tagSize));
    read.tag.assign(head.begin(), head.begin() + std::min(first, tagSize));
    if (tagSize > first) {
        const std::int64_t from =
            forLoad ? LoadResumesAt(ByteSpan(head).first(static_cast<std::size_t>(first)), header)
                    : first;
        read.tag.resize(static_cast<std::size_t>(tagSize));
        if (from < tagSize) {
            const std::int64_t rest = file.ReadAt(from, read.tag.data() + from, tagSize - from);
            read.tag.resize(static_cast<std::size_t>(from + std::max<std::int64_t>(rest, 0)));
        }
    }
    read.complete = std::ssize(read.tag) == tagSize;
    return read;
}

// A frame with a language (skip bytes) and a description before its value: COMM and USLT skip
// the encoding byte and the language, WXXX only the encoding byte. The description ends with a
// zero (two zero bytes at an even offset for the UTF-16 encodings); nullopt without one.
struct TDescribed {
    std::u16string description;
    ByteSpan value;
};
std::optional<TDescribed> SplitDescribed(ByteSpan content, std::size_t skip) {
    if (content.size() <= skip) {
        return std::nullopt;
    }
    const ByteSpan rest = content.subspan(skip);
    const std::optional<TStringEnd> end = FindTerminator(content[0], rest);
    if (!end) {
        return std::nullopt;
    }
    return TDescribed{Trim(DecodeString(content[0], rest.first(end->length))),
                      rest.subspan(end->next)};
}

// The value of such a frame. The WXXX URL is 8-bit whatever the encoding, in the code page it
// is saved in (Windows-1252), so a saved URL reads back as it was written.
std::u16string DecodeDescribed(ByteSpan content, std::size_t skip, bool eightBitValue) {
    const std::optional<TDescribed> split = SplitDescribed(content, skip);
    if (!split) {
        return {};
    }
    if (eightBitValue) {
        const std::string_view chars = AsChars(split->value);
        return Trim(Cp1252ToUtf16(chars.substr(0, chars.find('\0'))));
    }
    Bytes withEncoding{content[0]};
    withEncoding.insert(withEncoding.end(), split->value.begin(), split->value.end());
    return DecodeText(withEncoding);
}

// A COMM frame with a description ("iTunNORM", "iTunSMPB") holds data for a program, not the
// comment a user wrote.
bool IsDescribedComment(ByteSpan content) {
    const std::optional<TDescribed> split = SplitDescribed(content, 4);
    return split && !split->description.empty();
}

// The number before any "/" of a TRCK text ("5/12" gives 5); nullopt when it is no integer.
std::optional<std::int32_t> LeadingNumber(const std::u16string& text) {
    const std::u16string part = text.substr(0, text.find(u'/'));
    std::size_t i = 0;
    bool negative = false;
    if (i < part.size() && (part[i] == u'+' || part[i] == u'-')) {
        negative = part[i] == u'-';
        ++i;
    }
    if (i == part.size()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; i < part.size(); ++i) {
        if (part[i] < u'0' || part[i] > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (part[i] - u'0');
        if (value > 0x80000000LL) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > 0x7FFFFFFF) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// Rewrites the file with newTag (or none) in place of its current tag, through a copy beside
// it. Any failure leaves the file as it was.
bool RewriteFile(const std::u16string& fileName, const Bytes* newTag) {
    const std::optional<THeader> header = ReadHeader(fileName);
    return header && UniRewriteFile(fileName, header->bytes, header->fileSize,
                                    newTag != nullptr ? ByteSpan(*newTag) : ByteSpan(),
                                    header->isId3 ? header->tagSize : 0);
}

}  // namespace

TID3v2::TID3v2() = default;

void TID3v2::ClearTag() {
    *this = TID3v2();
}

void TID3v2::SetTitle(const std::u16string& value) {
    title_ = Trim(value);
}
void TID3v2::SetArtist(const std::u16string& value) {
    artist_ = Trim(value);
}
void TID3v2::SetAlbum(const std::u16string& value) {
    album_ = Trim(value);
}
void TID3v2::SetYear(const std::u16string& value) {
    year_ = Trim(value);
}
void TID3v2::SetGenre(const std::u16string& value) {
    genre_ = Trim(value);
}
void TID3v2::SetComment(const std::u16string& value) {
    comment_ = Trim(value);
}
void TID3v2::SetComposer(const std::u16string& value) {
    composer_ = Trim(value);
}
void TID3v2::SetEncodedBy(const std::u16string& value) {
    encodedBy_ = Trim(value);
}
void TID3v2::SetCopyright(const std::u16string& value) {
    copyright_ = Trim(value);
}
void TID3v2::SetOrigArtist(const std::u16string& value) {
    origArtist_ = Trim(value);
}
void TID3v2::SetURL(const std::u16string& value) {
    url_ = Trim(value);
}

TID3v2::TSources TID3v2::DecodeFrames(const std::vector<TID3v2Frame>& frames,
                                      std::uint8_t version) {
    TSources sources;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const TID3v2Frame& frame = frames[i];
        // A frame of no content holds nothing (and is not saved): it replaces no other.
        const std::optional<std::size_t> slot =
            !frame.opaque && !frame.Content().empty() ? SlotOf(frame.id, version) : std::nullopt;
        if (!slot) {
            continue;
        }
        // A later frame replaces an earlier one, except that the user's comment is not replaced
        // by a program's described one.
        if (*slot == sComment && sources[sComment]) {
            const ByteSpan taken = frames[*sources[sComment]].Content();
            if (!taken.empty() && !IsDescribedComment(taken) &&
                IsDescribedComment(frame.Content())) {
                continue;
            }
        }
        sources[*slot] = i;
    }

    const auto content = [&](TSlot slot) {
        return sources[slot] ? frames[*sources[slot]].Content() : ByteSpan();
    };
    const auto text = [&](TSlot slot) { return DecodeText(content(slot)); };
    const auto either = [&](TSlot slot, TSlot fallback) {
        std::u16string value = text(slot);
        return value.empty() ? text(fallback) : value;
    };
    title_ = either(sTitle, sContentGroup);
    artist_ = either(sArtist, sOrigArtist);
    album_ = either(sAlbum, sOrigAlbum);
    trackText_ = text(sTrack);
    trackNo_ = static_cast<std::uint16_t>(LeadingNumber(trackText_).value_or(0));
    year_ = text(sYear);
    if (year_.empty()) {
        // Trimmed again: the cut may leave blanks at the end, which the next load would trim.
        year_ = Trim(text(sRecordingTime).substr(0, 4));
    }
    genre_ = text(sGenre);
    if (const std::size_t close = genre_.rfind(u')'); close != std::u16string::npos) {
        genre_ = Trim(genre_.substr(close + 1));
    }
    comment_ = DecodeDescribed(content(sComment), 4, false);
    lyrics_ = DecodeDescribed(content(sLyrics), 4, false);
    url_ = DecodeDescribed(content(sURL), 1, true);
    composer_ = text(sComposer);
    encodedBy_ = text(sEncodedBy);
    copyright_ = text(sCopyright);
    language_ = text(sLanguage);
    origArtist_ = text(sOrigArtist);
    return sources;
}

// The frame a field is saved in, as the save writes it fresh: text frames in UTF-16 with a
// byte-order mark, COMM and USLT in English without a description, WXXX without a description
// and its URL in Windows-1252. nullopt for an empty field, which has no frame.
std::optional<TID3v2Frame> TID3v2::FreshFrame(std::size_t slot) const {
    TID3v2Frame frame;
    frame.id = kSlotIds[slot].v34;
    const auto wide = [&](const std::u16string& value) {
        const Bytes text = EncodeUtf16(value);
        frame.data.insert(frame.data.end(), text.begin(), text.end());
    };
    switch (slot) {
        case sTrack: {
            if (trackNo_ == 0) {
                return std::nullopt;
            }
            // The loaded text when it still names this track ("5/12" survives), else the number.
            const bool keepsText = LeadingNumber(trackText_) == std::int32_t{trackNo_};
            frame.data = {1};
            wide(keepsText ? trackText_ : Utf8ToUtf16(std::to_string(trackNo_)));
            return frame;
        }
        case sComment:
        case sLyrics: {
            const std::u16string& value = slot == sComment ? comment_ : lyrics_;
            if (value.empty()) {
                return std::nullopt;
            }
            frame.data = {1, 'e', 'n', 'g', 0, 0};
            wide(value);
            return frame;
        }
        case sURL:
            if (url_.empty()) {
                return std::nullopt;
            }
            frame.data = {0, 0};
            AppendText(frame.data, Utf16ToCp1252(url_));
            return frame;
        default: {
            const std::u16string* value = TextField(slot);
            if (value == nullptr || value->empty()) {
                return std::nullopt;
            }
            frame.data = {1};
            wide(*value);
            return frame;
        }
    }
}

const std::u16string* TID3v2::TextField(std::size_t slot) const {
    switch (slot) {
        case sTitle:
            return &title_;
        case sArtist:
            return &artist_;
        case sAlbum:
            return &album_;
        case sYear:
            return &year_;
        case sGenre:
            return &genre_;
        case sComment:
            return &comment_;
        case sComposer:
            return &composer_;
        case sEncodedBy:
            return &encodedBy_;
        case sCopyright:
            return &copyright_;
        case sLanguage:
            return &language_;
        case sURL:
            return &url_;
        case sOrigArtist:
            return &origArtist_;
        case sLyrics:
            return &lyrics_;
        default:
            return nullptr;
    }
}

void TID3v2::ApplyFields(std::vector<TID3v2Frame>& frames) const {
    // The fields in the order of their slots, which is the order new frames take.
    static constexpr std::array<TSlot, 14> kFields = {
        sTitle,    sArtist,    sAlbum,     sTrack,    sYear, sGenre,      sComment,
        sComposer, sEncodedBy, sCopyright, sLanguage, sURL,  sOrigArtist, sLyrics};
    // A second round mends a field that the first one made read otherwise, such as an artist
    // read from the original artist that was edited.
    for (int round = 0; round < 2; ++round) {
        TID3v2 now;
        const TSources sources = now.DecodeFrames(frames, 3);
        std::vector<TID3v2Frame> front;
        std::vector<std::optional<TID3v2Frame>> replaced(frames.size());
        std::vector<bool> removed(frames.size(), false);
        bool edited = false;
        for (const TSlot slot : kFields) {
            const bool same = slot == sTrack ? now.trackNo_ == trackNo_
                                             : *now.TextField(slot) == *TextField(slot);
            if (same) {
                continue;
            }
            edited = true;
            // The field replaces the frame it was read from; a program's described comment is not
            // the user's and stays.
            constexpr std::size_t kNone = SIZE_MAX;
            std::size_t own = sources[slot].value_or(kNone);
            if (own != kNone && slot == sComment && IsDescribedComment(frames[own].Content())) {
                own = kNone;
            }
            std::optional<TID3v2Frame> fresh = FreshFrame(slot);
            const auto another = [&](const std::string_view id) {
                for (std::size_t i = 0; i < frames.size(); ++i) {
                    if (i != own && frames[i].id == id) {
                        return true;
                    }
                }
                return false;
            };
            if (!fresh && another(kSlotIds[slot].v34)) {
                // Emptied beside another frame of its kind, which would read in its place.
                fresh.emplace();
                fresh->id = kSlotIds[slot].v34;
                fresh->data = slot == sComment || slot == sLyrics ? Bytes{1, 'e', 'n', 'g', 0, 0}
                                                                  : Bytes{0, 0};
            }
            if (own != kNone) {
                removed[own] = !fresh;
                replaced[own] = std::move(fresh);
            } else if (fresh) {
                front.push_back(std::move(*fresh));
            }
            if (slot == sYear && year_.empty()) {
                // An emptied year takes its day, time and recording time with it.
                for (std::size_t i = 0; i < frames.size(); ++i) {
                    const std::string& id = frames[i].id;
                    removed[i] = removed[i] || id == "TDAT" || id == "TIME" ||
                                 id == kSlotIds[sRecordingTime].v34;
                }
            }
        }
        if (!edited) {
            return;
        }
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (!removed[i]) {
                front.push_back(replaced[i] ? std::move(*replaced[i]) : std::move(frames[i]));
            }
        }
        frames = std::move(front);
    }
}

bool TID3v2::LoadTag(const std::u16string& fileName) {
    ClearTag();
    try {
        TTntFileStream file(fileName, fmShareDenyWrite);
        return LoadTag(file);
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2::LoadTag(TTntFileStream& file) {
    ClearTag();
    std::optional<TTagBytes> read;
    try {
        read = ReadTagBytes(file, true);
    } catch (const std::exception&) {
    }
    if (!read) {
        return false;
    }
    const THeader& header = read->header;
    if (!header.isId3) {
        return true;
    }
    present_ = true;
    majorVersion_ = header.version;
    tagSize_ = static_cast<std::int32_t>(std::min<std::int64_t>(header.tagSize, INT32_MAX));
    if (majorVersion_ < 2 || majorVersion_ > 4 || tagSize_ <= 0) {
        return true;
    }
    try {
        TID3v2Frames parsed;
        if (ParseID3v2(read->tag, parsed)) {
            DecodeFrames(parsed.frames, parsed.version);
        }
    } catch (const std::exception&) {
        // Out of memory for a huge tag: the fields stay empty.
    }
    return true;
}

template <class File>
bool TID3v2::Save(File& file) const {
    try {
        std::optional<TTagBytes> read;
        {
            const std::unique_ptr<TTntFileStream> stream = OpenToRead(file);
            read = ReadTagBytes(*stream, false);
        }
        // Every frame of the tag goes into the new one; when they cannot all be read, the save
        // is refused rather than made without them.
        if (!read || !read->complete) {
            return false;
        }
        const THeader& header = read->header;
        std::vector<TID3v2Frame> frames;
        TID3v2Frames parsed;
        if (ParseID3v2(read->tag, parsed)) {
            frames = ToVersion3(parsed);
        }
        ApplyFields(frames);

        const auto needed = static_cast<std::int64_t>(Version3Size(frames));
        const bool rewrite =
            !header.isId3 || header.tagSize < needed || header.tagSize > kPaddedTagSize;
        const std::int64_t padding =
            std::max<std::int64_t>((rewrite ? kPaddedTagSize : header.tagSize) - needed, 0);
        if (needed + padding > kMaxTagSize) {
            return false;
        }
        const Bytes tag = RenderVersion3(frames, static_cast<std::size_t>(padding));
        TFileSave save(file, rewrite ? TFileSave::TWay::ThroughCopy : TFileSave::TWay::InPlace);
        return rewrite ? UniRewriteFile(save, header.bytes, header.fileSize, tag,
                                        header.isId3 ? header.tagSize : 0)
                       : UniWriteInPlace(save, header.bytes, header.fileSize, tag);
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2::SaveTag(const std::u16string& fileName) {
    return Save(fileName);
}

bool TID3v2::SaveTag(Bytes& file) {
    return Save(file);
}

bool TID3v2::RemoveTag(const std::u16string& fileName) {
    const std::optional<THeader> header = ReadHeader(fileName);
    // Only a tag whose extent is known can be cut off.
    if (!header || !header->isId3 || header->tagSize == 0) {
        return false;
    }
    return RewriteFile(fileName, nullptr);
}
