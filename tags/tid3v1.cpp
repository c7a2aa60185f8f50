#include "tags/tid3v1.h"

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

constexpr std::int64_t kTagLength = 128;
constexpr std::size_t kFieldLength = 30;
constexpr std::size_t kYearLength = 4;
constexpr std::size_t kV11CommentLength = 28;
constexpr std::int32_t kLyricsTrailerLength = 15;  // six size digits and "LYRICS200"
constexpr std::string_view kLyricsBegin = "LYRICSBEGIN";
constexpr std::string_view kLyricsEnd = "LYRICS200";
constexpr std::uint32_t kMaxLyricsValue = 99999;   // five digits
constexpr std::uint32_t kMaxLyricsBlock = 999999;  // six digits

// Offsets within the 128-byte tag.
constexpr std::size_t kTitleAt = 3;
constexpr std::size_t kArtistAt = 33;
constexpr std::size_t kAlbumAt = 63;
constexpr std::size_t kYearAt = 93;
constexpr std::size_t kCommentAt = 97;
constexpr std::size_t kZeroByteAt = 125;
constexpr std::size_t kTrackAt = 126;
constexpr std::size_t kGenreAt = 127;

// A text field of the tag: its bytes up to the length, trailing 0 to 32 removed. Some taggers
// leave old bytes behind the zero that ends a shorter text; they are not part of it.
std::string TagText(ByteSpan tag, std::size_t at, std::size_t length) {
    const std::string_view field = AsChars(tag.subspan(at, length));
    return Cp1252ToUtf8(TrimRight(std::string(field.substr(0, field.find('\0')))));
}

// Copies at most length bytes of the text into the tag; the rest stays zero.
void PutTagText(Bytes& tag, std::size_t at, std::size_t length, const std::string& utf8) {
    const std::string bytes = Utf8ToCp1252(TrimRight(utf8));
    std::copy_n(bytes.begin(), std::min(length, bytes.size()), tag.begin() + at);
}

// Lyrics line ends: a lone CR becomes CR LF, and CR LF stays CR LF. One left-to-right pass of
// each replacement, as the block's writers expect.
std::string NormaliseLineEnds(const std::string& text) {
    std::string widened;
    for (char c : text) {
        widened.push_back(c);
        if (c == '\r') {
            widened.push_back('\n');
        }
    }
    std::string result;
    for (std::size_t i = 0; i < widened.size();) {
        if (widened.compare(i, 3, "\r\n\n") == 0) {
            result += "\r\n";
            i += 3;
        } else {
            result.push_back(widened[i++]);
        }
    }
    return result;
}

// The stored form of a setter's text and its extended field (the text past 30 characters).
// The text ends at its first zero byte, as a text read from the tag does, so a zero inside a
// Lyrics3 field cannot make the saved tag read back shorter.
void SetLongText(const std::string& value, std::string& plain, std::string& extended) {
    plain = TrimRight(value.substr(0, value.find('\0')));
    extended = Utf8Length(plain) > kFieldLength ? plain : std::string();
}

// The start of the Lyrics3 block whose trailer (six size digits and the end marker) ends at
// `at`, when "LYRICSBEGIN" stands where the size says; nullopt otherwise.
std::optional<std::int64_t> LyricsBlockStart(TTntFileStream& file, std::int64_t at,
                                             ByteSpan trailer) {
    if (AsChars(trailer).substr(6) != kLyricsEnd) {
        return std::nullopt;
    }
    const std::int64_t blockSize = ParseDigits(AsChars(trailer).substr(0, 6)).value_or(0);
    const std::int64_t start = at - kLyricsTrailerLength - blockSize;
    if (blockSize <= 0 || start < 0) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kLyricsBegin.size()> begin{};
    if (file.ReadAt(start, begin.data(), std::ssize(begin)) != std::ssize(begin) ||
        AsChars(begin) != kLyricsBegin) {
        return std::nullopt;
    }
    return start;
}

// Whether the bytes before `at` end in what reads as a Lyrics3 block.
bool EndsInLyricsBlock(TTntFileStream& file, std::int64_t at) {
    std::array<std::uint8_t, kLyricsTrailerLength> trailer{};
    return at >= kLyricsTrailerLength &&
           file.ReadAt(at - kLyricsTrailerLength, trailer.data(), std::ssize(trailer)) ==
               std::ssize(trailer) &&
           LyricsBlockStart(file, at, trailer).has_value();
}

}  // namespace

// The member initialisers are the cleared state.
TID3v1::TID3v1() = default;

void TID3v1::Clear() {
    *this = TID3v1();
}

std::string TID3v1::Title() const {
    return extendedTitle_.empty() ? title_ : extendedTitle_;
}
std::string TID3v1::Artist() const {
    return extendedArtist_.empty() ? artist_ : extendedArtist_;
}
std::string TID3v1::Album() const {
    return extendedAlbum_.empty() ? album_ : extendedAlbum_;
}
std::string TID3v1::Comment() const {
    return extendedComment_.empty() ? comment_ : extendedComment_;
}

void TID3v1::SetTitle(const std::string& value) {
    SetLongText(value, title_, extendedTitle_);
}
void TID3v1::SetArtist(const std::string& value) {
    SetLongText(value, artist_, extendedArtist_);
}
void TID3v1::SetAlbum(const std::string& value) {
    SetLongText(value, album_, extendedAlbum_);
}
void TID3v1::SetComment(const std::string& value) {
    SetLongText(value, comment_, extendedComment_);
}
void TID3v1::SetYear(const std::string& value) {
    year_ = Utf8Left(TrimRight(value), kYearLength);
}

std::int32_t TID3v1::LyricsBlockLength() const {
    return lyricsSize_ > 0 ? lyricsSize_ + kLyricsTrailerLength : 0;
}

std::int32_t TID3v1::TrailerLength() const {
    return LyricsBlockLength() + (tagPresent_ ? static_cast<std::int32_t>(kTagLength) : 0);
}

bool TID3v1::Load(const std::u16string& fileName) {
    Clear();
    const bool loaded = ReadFileBlocks(fileName, true);
    writtenAsRead_ = BlockFields();
    return loaded;
}

bool TID3v1::Load(TTntFileStream& file) {
    Clear();
    bool loaded = false;
    try {
        loaded = ReadBlocks(file, true);
    } catch (const std::exception&) {
    }
    writtenAsRead_ = BlockFields();
    return loaded;
}

template <class File>
bool TID3v1::ReadFileBlocks(File& file, bool parseFields) {
    try {
        return ReadBlocks(*OpenToRead(file), parseFields);
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v1::ReadBlocks(TTntFileStream& file, bool parseFields) {
    const std::int64_t size = file.Size();
    tagPresent_ = false;
    lyricsPresent_ = false;
    lyricsSize_ = 0;
    // The tag and the Lyrics3 trailer before it come in with one read.
    std::array<std::uint8_t, kTagLength + kLyricsTrailerLength> tail{};
    const std::int64_t tailLength = std::clamp<std::int64_t>(size, 0, std::ssize(tail));
    const std::int64_t got = file.ReadAt(size - tailLength, tail.data(), tailLength);
    const ByteSpan end =
        ByteSpan(tail).first(static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
    // A file shorter than the tag has none.
    if (size >= kTagLength) {
        if (got != tailLength) {
            throw EReadError("Stream read error");
        }
        const ByteSpan tag = end.last(kTagLength);
        tagPresent_ = AsChars(tag).substr(0, 3) == "TAG";
        if (tagPresent_ && parseFields) {
            ReadTag(tag);
        }
    }
    ReadLyricsBlock(file, size, end, parseFields);
    return true;
}

void TID3v1::ReadTag(ByteSpan tag) {
    const std::uint8_t zero = tag[kZeroByteAt];
    const std::uint8_t track = tag[kTrackAt];
    tagVersion_ = ((zero == 0 && track != 0) || (zero == 0x20 && track != 0x20)) ? 2 : 1;
    SetTitle(TagText(tag, kTitleAt, kFieldLength));
    SetArtist(TagText(tag, kArtistAt, kFieldLength));
    SetAlbum(TagText(tag, kAlbumAt, kFieldLength));
    SetYear(TagText(tag, kYearAt, kYearLength));
    SetComment(TagText(tag, kCommentAt, tagVersion_ == 2 ? kV11CommentLength : kFieldLength));
    if (tagVersion_ == 2) {
        track_ = track;
    }
    genreIndex_ = tag[kGenreAt];
}

void TID3v1::ReadLyricsBlock(TTntFileStream& file, std::int64_t size, ByteSpan end,
                             bool parseFields) {
    lyricsPresent_ = false;
    lyricsSize_ = 0;
    const std::int64_t distance = kLyricsTrailerLength + (tagPresent_ ? kTagLength : 0);
    if (size < distance || std::ssize(end) < distance) {
        return;
    }
    // The trailer is in the bytes already read from the end of the file.
    const ByteSpan trailer = end.subspan(end.size() - static_cast<std::size_t>(distance),
                                         static_cast<std::size_t>(kLyricsTrailerLength));
    const std::int64_t trailerEnd = size - distance + kLyricsTrailerLength;
    const std::optional<std::int64_t> start = LyricsBlockStart(file, trailerEnd, trailer);
    if (!start) {
        return;
    }
    const std::int64_t blockSize = trailerEnd - kLyricsTrailerLength - *start;
    lyricsPresent_ = true;
    lyricsSize_ = static_cast<std::int32_t>(blockSize);
    if (parseFields) {
        blockAsRead_.resize(static_cast<std::size_t>(blockSize));
        if (file.ReadAt(*start, blockAsRead_.data(), blockSize) != blockSize) {
            blockAsRead_.clear();
        }
        file.SetPosition(*start + std::ssize(kLyricsBegin));
        ReadLyricsFields(file, *start + blockSize);
    }
}

void TID3v1::ReadLyricsFields(TTntFileStream& file, std::int64_t end) {
    // The scan ends at an unknown id, a size that is no number, a field that would run past the
    // block (into its own trailer) and at the first short read.
    for (;;) {
        std::array<std::uint8_t, 8> header{};
        const std::int64_t at = file.Position();
        if (at < 0 || at + std::ssize(header) > end ||
            file.Read(header.data(), header.size()) != std::ssize(header)) {
            return;
        }
        const std::string_view id = AsChars(header).substr(0, 3);
        const auto length = ParseDigits(AsChars(header).substr(3, 5));
        if (!length || at + std::ssize(header) + *length > end) {
            return;
        }
        std::string raw(*length, '\0');
        if (file.Read(raw.data(), *length) != *length) {
            return;
        }
        const std::string value = Cp1252ToUtf8(raw);
        fieldsAsRead_[std::string(id)] = raw;
        if (id == "IND") {
            continue;
        } else if (id == "LYR") {
            lyrics_ = NormaliseLineEnds(Trim(value));
        } else if (id == "INF") {
            SetComment(Trim(value));
        } else if (id == "EAL") {
            SetAlbum(Trim(value));
        } else if (id == "EAR") {
            SetArtist(Trim(value));
        } else if (id == "ETT") {
            SetTitle(Trim(value));
        } else if (id == "AUT") {
            lyricsAuthor_ = Trim(value);
        } else if (id == "IMG") {
            // Kept as it stands (links and their descriptions), unless blank: a blank field is
            // not written back.
            imageLink_ = Trim(value).empty() ? std::string() : value;
        } else {
            return;
        }
    }
}

std::size_t TID3v1::CommentRoom() const {
    if (track_ > 0) {
        return kV11CommentLength;
    }
    // A 29th byte that is a blank before a 30th that is not reads back as a track number (the
    // blank-padded form of version 1.1), so such a comment keeps 28 bytes as well.
    const std::string bytes = Utf8ToCp1252(TrimRight(comment_));
    const bool looksNumbered = bytes.size() >= kFieldLength &&
                               bytes[kZeroByteAt - kCommentAt] == ' ' &&
                               bytes[kTrackAt - kCommentAt] != ' ';
    return looksNumbered ? kV11CommentLength : kFieldLength;
}

std::string TID3v1::BlockComment() const {
    // When the tag keeps less than the whole comment, the comment goes into the block as well,
    // or it would lose its end on saving.
    return extendedComment_.empty() && Utf8Length(comment_) > CommentRoom() ? comment_
                                                                            : extendedComment_;
}

bool TID3v1::LyricsBlockWanted() const {
    // Long titles alone, or an image link alone, make no block.
    const bool keeps = !lyrics_.empty() || !lyricsAuthor_.empty() || !imageLink_.empty();
    const bool carries = !lyrics_.empty() || !lyricsAuthor_.empty() || !extendedArtist_.empty() ||
                         !extendedAlbum_.empty() || !BlockComment().empty() ||
                         !extendedTitle_.empty();
    return keeps && carries;
}

TID3v1::TBlockFields TID3v1::BlockFields() const {
    return {{
        {"EAL", Utf8ToCp1252(extendedAlbum_)},
        {"EAR", Utf8ToCp1252(extendedArtist_)},
        {"ETT", Utf8ToCp1252(extendedTitle_)},
        {"INF", Utf8ToCp1252(BlockComment())},
        {"AUT", Utf8ToCp1252(lyricsAuthor_)},
        {"LYR", Utf8ToCp1252(lyrics_)},
        {"IMG", Utf8ToCp1252(imageLink_)},
    }};
}

bool TID3v1::BuildBlocks(Bytes& out, bool blockAnyway) const {
    out.clear();
    if (blockAnyway || LyricsBlockWanted()) {
        const TBlockFields fields = BlockFields();
        Bytes block;
        if (!blockAsRead_.empty() && fields == writtenAsRead_) {
            AppendText(block, blockAsRead_);
        } else {
            AppendText(block, kLyricsBegin);
            AppendText(block, lyrics_.empty() ? "IND0000200" : "IND0000210");
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const auto& [id, value] = fields[i];
                if (Trim(value).empty()) {
                    continue;
                }
                const auto read = fieldsAsRead_.find(id);
                const std::string& bytes =
                    value == writtenAsRead_[i].second && read != fieldsAsRead_.end() ? read->second
                                                                                     : value;
                if (bytes.size() > kMaxLyricsValue) {
                    return false;
                }
                AppendText(block, id);
                AppendText(block, ZeroPadded(static_cast<std::uint32_t>(bytes.size()), 5));
                AppendText(block, bytes);
            }
        }
        if (block.size() > kMaxLyricsBlock) {
            return false;
        }
        const auto blockSize = static_cast<std::uint32_t>(block.size());
        AppendText(block, ZeroPadded(blockSize, 6));
        AppendText(block, kLyricsEnd);
        out = std::move(block);
    }
    const Bytes tag = BuildTag();
    out.insert(out.end(), tag.begin(), tag.end());
    return true;
}

Bytes TID3v1::BuildTag() const {
    Bytes tag(kTagLength, 0);
    std::copy_n("TAG", 3, tag.begin());
    PutTagText(tag, kTitleAt, kFieldLength, Title());
    PutTagText(tag, kArtistAt, kFieldLength, Artist());
    PutTagText(tag, kAlbumAt, kFieldLength, Album());
    PutTagText(tag, kYearAt, kYearLength, year_);
    PutTagText(tag, kCommentAt, CommentRoom(), Comment());
    if (track_ > 0) {
        tag[kZeroByteAt] = 0;
        tag[kTrackAt] = track_;
    }
    tag[kGenreAt] = genreIndex_;
    return tag;
}

template <class File>
bool TID3v1::SaveFile(File& file) {
    // Values the block's size fields cannot hold are refused before the file is touched.
    Bytes blocks;
    if (!BuildBlocks(blocks, false)) {
        return false;
    }
    // The file is held alone from the first read to the last write: another save, of this
    // program or another copy of it, can neither move the end of the file in between nor
    // write beside this one.
    try {
        TFileSave save(file, TFileSave::TWay::InPlace);
        return SaveTo(save);
    } catch (const std::exception&) {
        return false;
    }
}

bool TID3v1::SaveTo(TFileSave& save) {
    // Learn the old tag and block, build the new ones, then swap them with one write. The old
    // bytes are kept so that a failed write can put them back.
    // Bytes before the trailer that themselves end in a block (an older one left behind by
    // another tagger) would be read as this tag's block were none written: one is written then.
    TTntFileStream& file = save.File();
    if (!ReadBlocks(file, false)) {
        return false;
    }
    const std::int64_t size = file.Size();
    const std::int64_t cut = size - TrailerLength();
    if (size < 0 || cut < 0) {
        return false;
    }
    Bytes blocks;
    if (!BuildBlocks(blocks, EndsInLyricsBlock(file, cut))) {
        return false;
    }
    const bool blockWritten = blocks.size() > static_cast<std::size_t>(kTagLength);
    Bytes old(static_cast<std::size_t>(size - cut));
    file.SetPosition(cut);
    file.ReadBuffer(old.data(), std::ssize(old));
    try {
        // A save cut short (the program killed) must never leave a trailer that reads back
        // wrong: the old trailer goes in one cut, the new one is written with the first byte
        // of its tag held back, and that byte, whose "TAG" makes both readable, comes last.
        // A reader therefore sees the old trailer, none, or the whole new one.
        file.SetSize(cut);
        Bytes staged = blocks;
        const auto markerAt = static_cast<std::ptrdiff_t>(blocks.size() - kTagLength);
        staged[static_cast<std::size_t>(markerAt)] = 0;
        file.WriteBuffer(staged.data(), std::ssize(staged));
        file.SetPosition(cut + markerAt);
        file.WriteBuffer(blocks.data() + markerAt, 1);
        save.Commit();
    } catch (const std::exception&) {
        // Best effort: the old trailer back in its place and the old length.
        try {
            file.SetSize(cut);
            file.Write(old.data(), std::ssize(old));
            file.SetSize(size);
        } catch (const std::exception&) {
        }
        return false;
    }
    tagPresent_ = true;
    lyricsPresent_ = blockWritten;
    lyricsSize_ = blockWritten ? static_cast<std::int32_t>(blocks.size()) -
                                     static_cast<std::int32_t>(kTagLength) - kLyricsTrailerLength
                               : 0;
    return true;
}

bool TID3v1::Save(const std::u16string& fileName) {
    return SaveFile(fileName);
}

bool TID3v1::Save(Bytes& file) {
    return SaveFile(file);
}

template <class File>
bool TID3v1::StripFile(File& target) {
    if (!ReadFileBlocks(target, false)) {
        return false;
    }
    if (!tagPresent_ && !lyricsPresent_) {
        return true;
    }
    try {
        TFileSave save(target, TFileSave::TWay::InPlace);
        // Measured again while the file is held alone; tag and block go in one cut, so a
        // failure leaves both.
        if (!ReadBlocks(save.File(), false)) {
            return false;
        }
        TTntFileStream& file = save.File();
        const std::int64_t size = file.Size();
        const std::int64_t cut = size - TrailerLength();
        if (cut < size) {
            Bytes old(static_cast<std::size_t>(size - cut));
            file.SetPosition(cut);
            file.ReadBuffer(old.data(), std::ssize(old));
            try {
                file.SetSize(cut);
                save.Commit();
            } catch (const std::exception&) {
                // Best effort: the trailer back where it was.
                file.SetSize(cut);
                file.Write(old.data(), std::ssize(old));
                return false;
            }
        }
    } catch (const std::exception&) {
        return false;
    }
    tagPresent_ = false;
    lyricsPresent_ = false;
    return true;
}

bool TID3v1::Strip(const std::u16string& fileName) {
    return StripFile(fileName);
}

bool TID3v1::Strip(Bytes& file) {
    return StripFile(file);
}
