#pragma once

// The frames of an MP3 file's ID3v2 tag as TagLib, an independent reader, understands them: one
// line per frame, its identifier and what a reader shows of it (texts, languages, descriptions,
// owners, a digest of the bytes of pictures and objects), whatever the tag's version and text
// encodings.
// Two files whose lines are equal hold the same tag for any reader. Used by the preservation
// tests and the differential fuzz target.

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/generalencapsulatedobjectframe.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/popularimeterframe.h>
#include <taglib/privateframe.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/uniquefileidentifierframe.h>
#include <taglib/unknownframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace taglibframes {

inline std::string Utf8(const TagLib::String& s) {
    return s.to8Bit(true);
}

// Bytes as their length and a 64-bit FNV-1a hash: equal for equal bytes, and short, so that
// a picture costs little to compare. Nothing for no bytes.
inline std::string Digest(const TagLib::ByteVector& b) {
    if (b.isEmpty()) {
        return {};
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : b) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = std::to_string(b.size()) + ":";
    for (int shift = 60; shift >= 0; shift -= 4) {
        out += kDigits[(hash >> shift) & 15];
    }
    return out;
}

// One frame as a line; empty for what TagLib keeps of a version-2.3 date after it merged it
// into TDRC (TDAT and TIME), which is no frame of its own for a reader, and for compressed or
// encrypted frames, which no reader shows (and whose extent TagLib misreads when damaged).
// TagLib keeps a frame's header to itself; a derived class may name the member.
struct FrameHeader : TagLib::ID3v2::Frame {
    static constexpr auto kHeader = &FrameHeader::header;
};

inline std::string Describe(const TagLib::ID3v2::Frame& frame) {
    using namespace TagLib::ID3v2;
    if (const auto* header = (frame.*FrameHeader::kHeader)();
        header != nullptr && (header->compression() || header->encryption())) {
        return {};
    }
    const TagLib::ByteVector id = frame.frameID();
    std::string line(id.data(), id.size());
    line += ' ';
    if (const auto* f = dynamic_cast<const UserTextIdentificationFrame*>(&frame)) {
        return line + "[" + Utf8(f->description()) + "] " + Utf8(f->fieldList().toString("|"));
    }
    if (const auto* f = dynamic_cast<const TextIdentificationFrame*>(&frame)) {
        return line + Utf8(f->fieldList().toString("|"));
    }
    if (const auto* f = dynamic_cast<const CommentsFrame*>(&frame)) {
        return line + std::string(f->language().data(), f->language().size()) + " [" +
               Utf8(f->description()) + "] " + Utf8(f->text());
    }
    if (const auto* f = dynamic_cast<const UnsynchronizedLyricsFrame*>(&frame)) {
        return line + std::string(f->language().data(), f->language().size()) + " [" +
               Utf8(f->description()) + "] " + Utf8(f->text());
    }
    if (const auto* f = dynamic_cast<const AttachedPictureFrame*>(&frame)) {
        return line + Utf8(f->mimeType()) + " " + std::to_string(f->type()) + " [" +
               Utf8(f->description()) + "] " + Digest(f->picture());
    }
    if (const auto* f = dynamic_cast<const UserUrlLinkFrame*>(&frame)) {
        return line + "[" + Utf8(f->description()) + "] " + Utf8(f->url());
    }
    if (const auto* f = dynamic_cast<const UrlLinkFrame*>(&frame)) {
        return line + Utf8(f->url());
    }
    if (const auto* f = dynamic_cast<const PrivateFrame*>(&frame)) {
        return line + Utf8(f->owner()) + " " + Digest(f->data());
    }
    if (const auto* f = dynamic_cast<const UniqueFileIdentifierFrame*>(&frame)) {
        return line + Utf8(f->owner()) + " " + Digest(f->identifier());
    }
    if (const auto* f = dynamic_cast<const PopularimeterFrame*>(&frame)) {
        return line + Utf8(f->email()) + " " + std::to_string(f->rating()) + " " +
               std::to_string(f->counter());
    }
    if (const auto* f = dynamic_cast<const GeneralEncapsulatedObjectFrame*>(&frame)) {
        return line + Utf8(f->mimeType()) + " " + Utf8(f->fileName()) + " [" +
               Utf8(f->description()) + "] " + Digest(f->object());
    }
    if (const auto* f = dynamic_cast<const UnknownFrame*>(&frame)) {
        return line == "TDAT " || line == "TIME " ? std::string() : line + Digest(f->data());
    }
    return line + Digest(frame.render());
}

// The lines of the file's ID3v2 tag; none without a tag.
inline std::vector<std::string> Frames(TagLib::MPEG::File& file) {
    std::vector<std::string> lines;
    if (!file.isValid() || !file.hasID3v2Tag()) {
        return lines;
    }
    for (const TagLib::ID3v2::Frame* frame : file.ID3v2Tag()->frameList()) {
        if (std::string line = Describe(*frame); !line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

// The same for a file held in memory.
inline std::vector<std::string> Frames(const std::uint8_t* data, std::size_t size) {
    TagLib::ByteVector bytes(reinterpret_cast<const char*>(data), static_cast<unsigned>(size));
    TagLib::ByteVectorStream stream(bytes);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    return Frames(file);
}

// The lines of before that after lacks and the lines of after that before lacks, each frame
// counted as often as it occurs.
struct Difference {
    std::vector<std::string> removed;
    std::vector<std::string> added;
};
inline Difference Compare(std::vector<std::string> before, std::vector<std::string> after) {
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    Difference d;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(d.removed));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(d.added));
    return d;
}

}  // namespace taglibframes
