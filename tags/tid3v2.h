#pragma once

// The ID3v2 tag at the start of a file: versions 2.2 to 2.4 are read into a fixed set of text
// fields, and written back as an ID3v2.3 tag, in place when it fits an old tag of at most 4096
// bytes, else through a copy of the file. A save keeps every frame of the file's tag whose field
// reads as it did, converted to version 2.3; a field that changed replaces only the frame it was
// read from. Operations never raise; a failed save or removal leaves the file untouched.

#include "tags/bytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TTntFileStream;
struct TID3v2Frame;

class TID3v2 {
public:
    TID3v2();

    // Not present, version 0, size 0, track 0, every text empty.
    void ClearTag();

    // The file began with "ID3" at the last load.
    bool Present() const { return present_; }
    // Byte 3 of that header, whatever its value.
    std::uint8_t MajorVersion() const { return majorVersion_; }
    // Bytes the tag occupies at the start of the file, header and footer included; 0 without a
    // tag or when the declared size exceeds the file.
    std::int32_t TagSize() const { return tagSize_; }

    const std::u16string& Title() const { return title_; }
    const std::u16string& Artist() const { return artist_; }
    const std::u16string& Album() const { return album_; }
    std::uint16_t TrackNo() const { return trackNo_; }
    // The TRCK text as loaded ("5/12").
    const std::u16string& TrackText() const { return trackText_; }
    const std::u16string& Year() const { return year_; }
    const std::u16string& Genre() const { return genre_; }
    const std::u16string& Comment() const { return comment_; }
    const std::u16string& Composer() const { return composer_; }
    const std::u16string& EncodedBy() const { return encodedBy_; }
    const std::u16string& Copyright() const { return copyright_; }
    const std::u16string& Language() const { return language_; }
    const std::u16string& URL() const { return url_; }
    const std::u16string& OrigArtist() const { return origArtist_; }
    const std::u16string& Lyrics() const { return lyrics_; }

    // The text setters drop characters up to U+0020 at both ends.
    void SetTitle(const std::u16string& value);
    void SetArtist(const std::u16string& value);
    void SetAlbum(const std::u16string& value);
    void SetYear(const std::u16string& value);
    void SetGenre(const std::u16string& value);
    void SetComment(const std::u16string& value);
    void SetComposer(const std::u16string& value);
    void SetEncodedBy(const std::u16string& value);
    void SetCopyright(const std::u16string& value);
    void SetOrigArtist(const std::u16string& value);
    void SetURL(const std::u16string& value);
    void SetTrackNo(std::uint16_t value) { trackNo_ = value; }

    // True when the file could be opened and has at least 10 bytes, tag or not.
    bool LoadTag(const std::u16string& fileName);
    // The same through a stream the caller has open (the MPEG analyser shares its handle).
    bool LoadTag(TTntFileStream& file);
    // Writes the fields as a new tag; the fields stay as they are. Refused when the file's tag
    // cannot be read whole (its frames would be lost).
    bool SaveTag(const std::u16string& fileName);
    // The same on a file held in memory, which changes as the file would (the fuzz targets run
    // on memory; LoadTag reads a stream over the bytes).
    bool SaveTag(Bytes& file);
    // Strips the tag; true when one was removed.
    bool RemoveTag(const std::u16string& fileName);

private:
    // The frame each of the 17 slots took, by index.
    using TSources = std::array<std::optional<std::size_t>, 17>;
    // Fills the text fields and the track from the frames of a tag of the version.
    TSources DecodeFrames(const std::vector<TID3v2Frame>& frames, std::uint8_t version);
    // Changes version-2.3 frames so that they read as the fields: a field that reads as it
    // should keeps its frames, any other is written fresh in place of the frame it came from.
    void ApplyFields(std::vector<TID3v2Frame>& frames) const;
    std::optional<TID3v2Frame> FreshFrame(std::size_t slot) const;
    // The save of a file by name or of one held in memory: the same steps on either.
    template <class File>
    bool Save(File& file) const;
    // The text field a slot is saved from; nullptr for the track and the fallback slots.
    const std::u16string* TextField(std::size_t slot) const;

    bool present_ = false;
    std::uint8_t majorVersion_ = 0;
    std::int32_t tagSize_ = 0;
    std::u16string title_;
    std::u16string artist_;
    std::u16string album_;
    std::uint16_t trackNo_ = 0;
    std::u16string trackText_;
    std::u16string year_;
    std::u16string genre_;
    std::u16string comment_;
    std::u16string composer_;
    std::u16string encodedBy_;
    std::u16string copyright_;
    std::u16string language_;
    std::u16string url_;
    std::u16string origArtist_;
    std::u16string lyrics_;
};
