#pragma once

// The ID3v1 / ID3v1.1 tag at the end of a file and the Lyrics3 v2 block before it.
// Texts are UTF-8 in memory and Windows-1252 in the file (a character the code page lacks is
// stored as "?"); lengths count characters. Operations that touch the file never raise: they
// return false, and a failed save or strip leaves the file as it was.

#include "tags/bytes.h"
#include "tags/genrenames.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

class TFileSave;
class TTntFileStream;

class TID3v1 {
public:
    TID3v1();

    // Every field back to its empty state: no tag, version 1, track 0, genre 255.
    void Clear();

    // The file ends with a 128-byte block that begins "TAG".
    bool TagPresent() const { return tagPresent_; }
    // 1 = ID3v1.0, 2 = ID3v1.1 (a track number is present).
    std::uint8_t TagVersion() const { return tagVersion_; }

    // The full texts (a text longer than 30 characters comes from the Lyrics3 block). The setters
    // drop trailing characters 0 to 32; the extended field follows the text past 30 characters.
    std::string Title() const;
    std::string Artist() const;
    std::string Album() const;
    std::string Comment() const;
    void SetTitle(const std::string& value);
    void SetArtist(const std::string& value);
    void SetAlbum(const std::string& value);
    void SetComment(const std::string& value);
    // At most 4 characters.
    const std::string& Year() const { return year_; }
    void SetYear(const std::string& value);
    // 0 means no track number.
    std::uint8_t Track() const { return track_; }
    void SetTrack(std::uint8_t value) { track_ = value; }
    // Index into GenreNames; 255 means no genre, 148 to 254 have no name.
    std::uint8_t GenreIndex() const { return genreIndex_; }
    void SetGenreIndex(std::uint8_t value) { genreIndex_ = value; }

    // Lyrics3 v2 block.
    bool LyricsPresent() const { return lyricsPresent_; }
    // The block size as its trailer states it (bytes from "LYRICSBEGIN" to the last field).
    std::int32_t LyricsSize() const { return lyricsSize_; }
    const std::string& ExtendedTitle() const { return extendedTitle_; }
    const std::string& ExtendedArtist() const { return extendedArtist_; }
    const std::string& ExtendedAlbum() const { return extendedAlbum_; }
    const std::string& ExtendedComment() const { return extendedComment_; }
    const std::string& ImageLink() const { return imageLink_; }
    const std::string& LyricsAuthor() const { return lyricsAuthor_; }
    // Lines end with CR LF.
    const std::string& Lyrics() const { return lyrics_; }
    void SetImageLink(const std::string& value) { imageLink_ = value; }
    void SetLyricsAuthor(const std::string& value) { lyricsAuthor_ = value; }
    void SetLyrics(const std::string& value) { lyrics_ = value; }

    // The block with its 15-byte trailer, 0 when there is none.
    std::int32_t LyricsBlockLength() const;
    // Bytes at the end of the file that are tags and not audio.
    std::int32_t TrailerLength() const;

    // Clear, then read the tag and the block.
    bool Load(const std::u16string& fileName);
    // The same through a stream the caller has open (the MPEG analyser shares its handle).
    bool Load(TTntFileStream& file);
    // Replaces the file's tag and block by the current fields (a block only when there are
    // lyrics, an author or an image link to keep). False before touching the file when a value
    // does not fit the Lyrics3 size fields.
    bool Save(const std::u16string& fileName);
    // Removes the tag and the block; true (and the file untouched) when there is neither.
    bool Strip(const std::u16string& fileName);
    // Save and Strip on a file held in memory, which changes as the file would (the fuzz target
    // runs on memory; Load reads a stream over the bytes).
    bool Save(Bytes& file);
    bool Strip(Bytes& file);

private:
    // The same on a file by name or in memory; false on a read error.
    template <class File>
    bool ReadFileBlocks(File& file, bool parseFields);
    // Save and Strip on a file by name or in memory: the same steps on either.
    template <class File>
    bool SaveFile(File& file);
    template <class File>
    bool StripFile(File& file);
    // Raises on a read error.
    bool ReadBlocks(TTntFileStream& file, bool parseFields);
    void ReadTag(ByteSpan tag);
    // end holds the last bytes of the file (up to the tag and the block's trailer).
    void ReadLyricsBlock(TTntFileStream& file, std::int64_t size, ByteSpan end, bool parseFields);
    void ReadLyricsFields(TTntFileStream& file, std::int64_t end);
    // The bytes of comment the tag itself keeps: 28 beside a track number, else 30.
    std::size_t CommentRoom() const;
    std::string BlockComment() const;
    bool LyricsBlockWanted() const;
    // The block's fields as a save writes them (8-bit values, in the order written).
    using TBlockFields = std::array<std::pair<std::string_view, std::string>, 7>;
    TBlockFields BlockFields() const;
    // The new block (possibly empty, or only its frame when blockAnyway) and tag as the file will
    // hold them; false when too long.
    bool BuildBlocks(Bytes& out, bool blockAnyway) const;
    // Saves in the file the save holds alone.
    bool SaveTo(TFileSave& save);
    Bytes BuildTag() const;

    bool tagPresent_ = false;
    std::uint8_t tagVersion_ = 1;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::string year_;
    std::string comment_;
    std::uint8_t track_ = 0;
    std::uint8_t genreIndex_ = NoGenre;
    bool lyricsPresent_ = false;
    std::int32_t lyricsSize_ = 0;
    std::string extendedArtist_;
    std::string extendedAlbum_;
    std::string extendedTitle_;
    std::string extendedComment_;
    std::string imageLink_;
    std::string lyricsAuthor_;
    std::string lyrics_;
    // The block as the last Load read it, whole, its field values by id, and the fields a save
    // would have written right after that Load. A field whose value has not changed since is
    // written back with the bytes it was read with (lyrics with lone CRs stay so, which the
    // 99999-byte limit of a field may need), and an unchanged block as it stood.
    std::string blockAsRead_;
    std::map<std::string, std::string, std::less<>> fieldsAsRead_;
    TBlockFields writtenAsRead_;
};
