#include "tags/tid3v2.h"

#include "tags/bytes.h"
#include "tags/efileerror.h"
#include "tags/textcodec.h"
#include "tags/tfilesave.h"
#include "tags/ttntfilestream.h"

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <string_view>

namespace {

constexpr std::size_t kHeaderLength = 10;
constexpr std::int64_t kPaddedTagSize = 4096;
// At most this much of a frame is held while loading; the rest is skipped.
constexpr std::uint32_t kMaxFrameContent = 5000;
// The header's size field holds 28 bits.
constexpr std::int64_t kMaxTagSize = (std::int64_t{1} << 28) - 1 + kHeaderLength;
constexpr std::uint8_t kFlagFooter = 0x10;
constexpr std::uint8_t kFlagExtendedHeader = 0x40;
constexpr std::uint8_t kFlagUnsynchronisation = 0x80;

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
using TSlots = std::array<Bytes, kSlotIds.size()>;

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

// Reads the tag a block of the file at a time: the header and the frames of a tag of small
// frames come in with one system call instead of a seek and a read for each field.
class TTagReader {
public:
    explicit TTagReader(TTntFileStream& file) : file_(file) {}

    std::int64_t Size() const { return file_.Size(); }
    void SetPosition(std::int64_t position) { position_ = position; }
    // Up to count bytes from the position, which moves past them; fewer at the end of the file,
    // -1 on an error.
    std::int64_t Read(void* buffer, std::int64_t count) {
        if (count > kBlockSize) {
            const std::int64_t n = file_.ReadAt(position_, buffer, count);
            position_ += std::max<std::int64_t>(n, 0);
            return n;
        }
        const std::int64_t blockEnd = blockAt_ + std::ssize(block_);
        if (blockAt_ < 0 || position_ < blockAt_ || position_ + count > blockEnd) {
            block_.resize(kBlockSize);
            const std::int64_t n = file_.ReadAt(position_, block_.data(), kBlockSize);
            if (n < 0) {
                block_.clear();
                blockAt_ = -1;
                return -1;
            }
            block_.resize(static_cast<std::size_t>(n));
            blockAt_ = position_;
        }
        const std::int64_t n = std::min(count, blockAt_ + std::ssize(block_) - position_);
        std::copy_n(block_.begin() + (position_ - blockAt_), n, static_cast<std::uint8_t*>(buffer));
        position_ += n;
        return n;
    }
    void ReadBuffer(void* buffer, std::int64_t count) {
        if (count > 0 && Read(buffer, count) != count) {
            throw EReadError("Stream read error");
        }
    }

private:
    // Holds the header and the frames of most tags, and any frame content loading keeps.
    static constexpr std::int64_t kBlockSize = 4096;
    TTntFileStream& file_;
    Bytes block_;
    std::int64_t blockAt_ = -1;
    std::int64_t position_ = 0;
};

std::optional<THeader> ReadHeader(TTagReader& file) {
    THeader header;
    header.fileSize = file.Size();
    file.SetPosition(0);
    if (file.Read(header.bytes.data(), kHeaderLength) != kHeaderLength) {
        return std::nullopt;
    }
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
    return header;
}

std::optional<THeader> ReadHeader(const std::u16string& fileName) {
    try {
        TTntFileStream file(fileName, fmShareDenyWrite);
        TTagReader reader(file);
        return ReadHeader(reader);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// One frame header as found in the tag.
struct TFrame {
    std::string id;
    std::int64_t at = 0;         // first byte of the frame header
    std::int64_t contentAt = 0;  // first byte of the content
    std::uint32_t size = 0;      // content size
    std::array<std::uint8_t, 2> flags{};
};

bool IsFrameIdChar(std::uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Walks the frame headers of the tag from offset start and calls visit for each frame; visit
// returns false to stop. The walk ends at padding (an identifier that does not start with a
// capital), at a size with its top bit set, at a short read and at the end of the tag. strict
// also ends it, as not clean, at an identifier with other characters or a frame that runs past
// the tag. The result tells whether the walk ended cleanly.
template <typename Visit>
bool WalkFrames(TTagReader& file, const THeader& header, std::int64_t start, bool syncsafe,
                bool strict, Visit&& visit) {
    const bool v2 = header.version == 2;
    const std::int64_t headerLength = v2 ? 6 : 10;
    const std::size_t idLength = v2 ? 3 : 4;
    const std::int64_t end = std::min(header.tagSize, header.fileSize);
    std::int64_t at = start;
    while (at < end) {
        std::array<std::uint8_t, 10> raw{};
        file.SetPosition(at);
        if (file.Read(raw.data(), headerLength) != headerLength) {
            return !strict;
        }
        if (raw[0] < 'A' || raw[0] > 'Z') {
            return true;
        }
        TFrame frame;
        frame.id.assign(AsChars(raw).substr(0, idLength));
        if (strict && !std::all_of(raw.begin(), raw.begin() + idLength, IsFrameIdChar)) {
            return false;
        }
        if (v2) {
            frame.size = ReadBE24(raw, 3);
        } else if (syncsafe) {
            if (!IsSyncsafe32(raw, 4)) {
                return false;
            }
            frame.size = ReadSyncsafe32(raw, 4);
        } else {
            // A size with its top bit set is no size: the reading ends.
            frame.size = ReadBE32(raw, 4);
            if ((frame.size & 0x80000000u) != 0) {
                return false;
            }
        }
        if (!v2) {
            frame.flags = {raw[8], raw[9]};
        }
        frame.at = at;
        frame.contentAt = at + headerLength;
        const std::int64_t next = frame.contentAt + frame.size;
        if (strict && next > end) {
            return false;
        }
        if (!visit(frame)) {
            return true;
        }
        at = next;
    }
    return true;
}

// Version-4 sizes are syncsafe, but some encoders write plain numbers; a tag whose frames only
// line up as plain numbers is read so.
bool UsesSyncsafeSizes(TTagReader& file, const THeader& header, std::int64_t start) {
    if (header.version != 4) {
        return false;
    }
    const auto any = [](const TFrame&) { return true; };
    if (WalkFrames(file, header, start, true, true, any)) {
        return true;
    }
    return !WalkFrames(file, header, start, false, true, any);
}

// Where the frames begin: after the extended header when the tag has one (its size excludes
// its own four bytes in version 3 and includes them, syncsafe, in version 4). 0 when the
// extended header cannot be read or runs past the tag.
std::int64_t FramesStart(TTagReader& file, const THeader& header) {
    if ((header.flags & kFlagExtendedHeader) == 0) {
        return kHeaderLength;
    }
    std::array<std::uint8_t, 4> size{};
    file.SetPosition(kHeaderLength);
    if (file.Read(size.data(), size.size()) != std::ssize(size)) {
        return 0;
    }
    const std::int64_t start = header.version == 4
                                   ? kHeaderLength + std::int64_t{ReadSyncsafe32(size, 0)}
                                   : kHeaderLength + 4 + std::int64_t{ReadBE32(size, 0)};
    return start < std::min(header.tagSize, header.fileSize) ? start : 0;
}

// A frame that is compressed, encrypted, grouped or unsynchronised: its content does not start
// with the text. Version 3 marks compression, encryption and grouping in the top three bits of
// the second flag byte; version 4 uses bits for grouping, compression, encryption,
// unsynchronisation and the data length indicator.
bool IsTransformed(const TFrame& frame, std::uint8_t version) {
    const std::uint8_t mask = version == 4 ? 0xCF : 0xE0;
    return (frame.flags[1] & mask) != 0;
}

std::u16string Utf16Text(ByteSpan b, bool bigEndian) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        const char16_t unit = bigEndian ? ReadBE16(b, i) : ReadLE16(b, i);
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

std::u16string EightBitText(ByteSpan b) {
    const std::string_view chars = AsChars(b);
    return Utf8OrLatin1ToUtf16(chars.substr(0, chars.find('\0')));
}

// Plain text of a slot: the encoding byte, then the text.
std::u16string DecodeText(ByteSpan slot) {
    if (slot.empty()) {
        return {};
    }
    const ByteSpan rest = slot.subspan(1);
    std::u16string text;
    switch (slot[0]) {
        case 1:
            // UTF-16 after its byte-order mark; without a mark, little-endian.
            if (rest.size() >= 2 && rest[0] == 0xFE && rest[1] == 0xFF) {
                text = Utf16Text(rest.subspan(2), true);
            } else if (rest.size() >= 2 && rest[0] == 0xFF && rest[1] == 0xFE) {
                text = Utf16Text(rest.subspan(2), false);
            } else {
                text = Utf16Text(rest, false);
            }
            break;
        case 2:
            text = Utf16Text(rest, true);
            if (!text.empty() && text.front() == 0xFEFF) {
                text.erase(0, 1);
            }
            break;
        case 0:
        case 3:
            text = EightBitText(rest);
            break;
        default:
            // Not an encoding byte: the content is taken as 8-bit text from its first byte.
            text = EightBitText(slot);
            break;
    }
    return Trim(text);
}

// A frame with a language (skip bytes) and a description before its value: COMM and USLT skip
// the encoding byte and the language, WXXX only the encoding byte. The description ends with a
// zero (two zero bytes at an even offset for the UTF-16 encodings). The result is the encoding
// byte followed by the description's bytes, and the value's bytes; nullopt without a terminator.
struct TDescribed {
    Bytes description;
    ByteSpan value;
};
std::optional<TDescribed> SplitDescribed(ByteSpan slot, std::size_t skip) {
    if (slot.size() <= skip) {
        return std::nullopt;
    }
    const std::uint8_t encoding = slot[0];
    const ByteSpan rest = slot.subspan(skip);
    const bool wide = encoding == 1 || encoding == 2;
    const std::size_t step = wide ? 2 : 1;
    for (std::size_t i = 0; i + step <= rest.size(); i += step) {
        if (rest[i] == 0 && (!wide || rest[i + 1] == 0)) {
            TDescribed split{Bytes{encoding}, rest.subspan(i + step)};
            split.description.insert(split.description.end(), rest.begin(), rest.begin() + i);
            return split;
        }
    }
    return std::nullopt;
}

// The value of such a frame. The WXXX URL is 8-bit whatever the encoding, in the code page it
// is saved in (Windows-1252), so a saved URL reads back as it was written.
std::u16string DecodeDescribed(ByteSpan slot, std::size_t skip, bool eightBitValue) {
    const std::optional<TDescribed> split = SplitDescribed(slot, skip);
    if (!split) {
        return {};
    }
    if (eightBitValue) {
        const std::string_view chars = AsChars(split->value);
        return Trim(Cp1252ToUtf16(chars.substr(0, chars.find('\0'))));
    }
    Bytes withEncoding{slot[0]};
    withEncoding.insert(withEncoding.end(), split->value.begin(), split->value.end());
    return DecodeText(withEncoding);
}

// A COMM frame with a description ("iTunNORM", "iTunSMPB") holds data for a program, not the
// comment a user wrote.
bool IsDescribedComment(ByteSpan content) {
    const std::optional<TDescribed> split = SplitDescribed(content, 4);
    return split && !DecodeText(split->description).empty();
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

// Text frame content: UTF-16 little-endian with its mark, no terminator.
Bytes EncodeText(const std::u16string& text) {
    Bytes out{0xFF, 0xFE};
    for (char16_t unit : text) {
        AppendLE16(out, unit);
    }
    return out;
}

// Frames of the file's tag that no slot covers, and comments with a description, rendered as
// version-3 frames: byte for byte from a version-3 tag, with a plain size from an unflagged
// version-4 frame. Version-2 frames, flagged version-4 frames and frames of an unsynchronised
// version-3 tag cannot be carried.
struct TCarried {
    Bytes frames;
    bool comment = false;  // a described comment among them
};

TCarried CarriedFrames(const std::u16string& fileName, const THeader& header) {
    TCarried carried;
    Bytes& out = carried.frames;
    if (!header.isId3 || header.tagSize == 0 || (header.version != 3 && header.version != 4) ||
        (header.version == 3 && (header.flags & kFlagUnsynchronisation) != 0)) {
        return carried;
    }
    try {
        TTntFileStream stream(fileName, fmShareDenyWrite);
        TTagReader file(stream);
        // Unlike loading, carrying looks past an extended header, so that no frame is lost.
        const std::int64_t start = FramesStart(file, header);
        if (start == 0) {
            return carried;
        }
        const bool syncsafe = UsesSyncsafeSizes(file, header, start);
        WalkFrames(file, header, start, syncsafe, true, [&](const TFrame& frame) {
            if (header.version == 4 && (frame.flags[0] != 0 || frame.flags[1] != 0)) {
                return true;
            }
            const bool comment = frame.id == kSlotIds[sComment].v34;
            if (SlotOf(frame.id, header.version) && !comment) {
                return true;
            }
            Bytes content(frame.size);
            file.SetPosition(frame.contentAt);
            file.ReadBuffer(content.data(), std::ssize(content));
            if (comment && (IsTransformed(frame, header.version) || !IsDescribedComment(content))) {
                return true;
            }
            carried.comment = carried.comment || comment;
            AppendText(out, frame.id);
            AppendBE32(out, frame.size);
            out.insert(out.end(), frame.flags.begin(), frame.flags.end());
            out.insert(out.end(), content.begin(), content.end());
            return true;
        });
    } catch (const std::exception&) {
        // What could not be read cannot be carried; the managed frames are still saved.
        carried = {};
    }
    return carried;
}

// Rewrites the file with newTag (or none) in place of its current tag, through a copy beside
// it. Any failure leaves the file as it was.
bool RewriteFile(const std::u16string& fileName, const Bytes* newTag) {
    const std::optional<THeader> header = ReadHeader(fileName);
    return header && UniRewriteFile(fileName, header->bytes, header->fileSize,
                                    newTag != nullptr ? ByteSpan(*newTag) : ByteSpan(),
                                    header->isId3 ? header->tagSize : 0);
}

// Writes a tag of exactly the old tag's size over it.
bool WriteInPlace(const std::u16string& fileName, const THeader& header, const Bytes& tag) {
    return UniWriteInPlace(fileName, header.bytes, header.fileSize, tag);
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

bool TID3v2::LoadTag(const std::u16string& fileName) {
    ClearTag();
    try {
        TTntFileStream file(fileName, fmShareDenyWrite);
        return LoadTag(file);
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v2::LoadTag(TTntFileStream& stream) {
    ClearTag();
    TTagReader file(stream);
    std::optional<THeader> header;
    try {
        header = ReadHeader(file);
    } catch (const std::exception&) {
    }
    if (!header) {
        return false;
    }
    if (!header->isId3) {
        return true;
    }
    present_ = true;
    majorVersion_ = header->version;
    tagSize_ = static_cast<std::int32_t>(std::min<std::int64_t>(header->tagSize, INT32_MAX));
    if (majorVersion_ < 2 || majorVersion_ > 4 || tagSize_ <= 0) {
        return true;
    }

    TSlots slots;
    try {
        const bool syncsafe = UsesSyncsafeSizes(file, *header, kHeaderLength);
        WalkFrames(file, *header, kHeaderLength, syncsafe, false, [&](const TFrame& frame) {
            const std::int64_t wanted = std::min(frame.size, kMaxFrameContent);
            Bytes content(static_cast<std::size_t>(wanted));
            file.SetPosition(frame.contentAt);
            const std::int64_t got = file.Read(content.data(), wanted);
            content.resize(static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
            const std::optional<std::size_t> slot = SlotOf(frame.id, majorVersion_);
            // A later frame replaces an earlier one, except that the user's comment is not
            // replaced by a program's described one.
            const bool keepComment = slot == sComment && !slots[sComment].empty() &&
                                     !IsDescribedComment(slots[sComment]) &&
                                     IsDescribedComment(content);
            if (slot && !keepComment &&
                (majorVersion_ == 2 || !IsTransformed(frame, majorVersion_))) {
                slots[*slot] = std::move(content);
            }
            // A short read means the file ended: no frame can follow.
            return got == wanted;
        });
    } catch (const std::exception&) {
        // The slots read so far stay.
    }

    const auto text = [&](TSlot slot) { return DecodeText(slots[slot]); };
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
    comment_ = DecodeDescribed(slots[sComment], 4, false);
    lyrics_ = DecodeDescribed(slots[sLyrics], 4, false);
    url_ = DecodeDescribed(slots[sURL], 1, true);
    composer_ = text(sComposer);
    encodedBy_ = text(sEncodedBy);
    copyright_ = text(sCopyright);
    language_ = text(sLanguage);
    origArtist_ = text(sOrigArtist);
    return true;
}

bool TID3v2::SaveTag(const std::u16string& fileName) {
    const THeader header = ReadHeader(fileName).value_or(THeader{});

    TSlots slots;
    const auto textSlot = [&](TSlot slot, const std::u16string& value) {
        if (!value.empty()) {
            slots[slot] = EncodeText(value);
        }
    };
    const auto describedSlot = [&](TSlot slot, const std::u16string& value) {
        if (!value.empty()) {
            slots[slot] = {'e', 'n', 'g', 0, 0};
            const Bytes encoded = EncodeText(value);
            slots[slot].insert(slots[slot].end(), encoded.begin(), encoded.end());
        }
    };
    textSlot(sTitle, title_);
    textSlot(sArtist, artist_);
    textSlot(sAlbum, album_);
    // The loaded text when it still names this track ("5/12" survives), else the number.
    if (trackNo_ != 0) {
        const bool keepsText = LeadingNumber(trackText_) == std::int32_t{trackNo_};
        textSlot(sTrack, keepsText ? trackText_ : Utf8ToUtf16(std::to_string(trackNo_)));
    }
    textSlot(sYear, year_);
    textSlot(sGenre, genre_);
    describedSlot(sComment, comment_);
    textSlot(sComposer, composer_);
    textSlot(sEncodedBy, encodedBy_);
    textSlot(sCopyright, copyright_);
    textSlot(sLanguage, language_);
    if (!url_.empty()) {
        slots[sURL] = {0};
        AppendText(slots[sURL], Utf16ToCp1252(url_));
    }
    textSlot(sOrigArtist, origArtist_);
    describedSlot(sLyrics, lyrics_);

    const auto [carried, carriesComment] = CarriedFrames(fileName, header);
    // A program's described comment carried over would read back as the comment the user
    // emptied; an empty comment of the user's keeps the place.
    if (comment_.empty() && carriesComment) {
        slots[sComment] = {'e', 'n', 'g', 0, 0};
    }
    std::int64_t needed = kHeaderLength + std::ssize(carried);
    for (const Bytes& slot : slots) {
        needed += slot.empty() ? 0 : std::ssize(slot) + 11;
    }
    const bool rewrite =
        !header.isId3 || header.tagSize < needed || header.tagSize > kPaddedTagSize;
    const std::int64_t padding =
        std::max<std::int64_t>((rewrite ? kPaddedTagSize : header.tagSize) - needed, 0);
    if (needed + padding > kMaxTagSize) {
        return false;
    }

    Bytes tag{'I', 'D', '3', 3, 0, 0};
    AppendSyncsafe32(tag, static_cast<std::uint32_t>(needed + padding - kHeaderLength));
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].empty()) {
            continue;
        }
        AppendText(tag, kSlotIds[i].v34);
        AppendBE32(tag, static_cast<std::uint32_t>(slots[i].size() + 1));
        tag.insert(tag.end(), {0, 0, static_cast<std::uint8_t>(i == sURL ? 0 : 1)});
        tag.insert(tag.end(), slots[i].begin(), slots[i].end());
    }
    tag.insert(tag.end(), carried.begin(), carried.end());
    tag.resize(static_cast<std::size_t>(needed + padding), 0);

    if (rewrite) {
        return RewriteFile(fileName, &tag);
    }
    return WriteInPlace(fileName, header, tag);
}

bool TID3v2::RemoveTag(const std::u16string& fileName) {
    const std::optional<THeader> header = ReadHeader(fileName);
    // Only a tag whose extent is known can be cut off.
    if (!header || !header->isId3 || header->tagSize == 0) {
        return false;
    }
    return RewriteFile(fileName, nullptr);
}
