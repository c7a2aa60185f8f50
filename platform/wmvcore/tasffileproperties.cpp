#include "platform/wmvcore/tasffileproperties.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tags/bytes.h"

namespace {

using TGuidBytes = std::array<std::uint8_t, 16>;

// GUIDs as they are stored: the first three fields little-endian.
constexpr TGuidBytes kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr TGuidBytes kFilePropertiesObject = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                              0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};

constexpr TGuidBytes kExtendedContentDescriptionObject = {
    0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr TGuidBytes kHeaderExtensionObject = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                               0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr TGuidBytes kMetadataObject = {0xEA, 0xCB, 0xF8, 0xC5, 0xAF, 0x5B, 0x77, 0x48,
                                        0x84, 0x67, 0xAA, 0x8C, 0x44, 0xFA, 0x4C, 0xCA};
constexpr TGuidBytes kMetadataLibraryObject = {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49,
                                               0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54};

constexpr std::uint64_t kObjectHeaderSize = 24;  // GUID + 64-bit size
// The Header Extension object: reserved GUID and word, then the size of the objects it holds.
constexpr std::uint64_t kHeaderExtensionDataAt = kObjectHeaderSize + 18;
// The smallest attribute record: name length, type and value length (extended content
// description); reserved word, stream, name length, type and a 32-bit value length (metadata and
// metadata library), with empty names and values.
constexpr std::uint64_t kSmallestDescriptor = 6;
constexpr std::uint64_t kSmallestMetadataRecord = 12;
constexpr std::uint64_t kHeaderObjectSize = 30;  // + object count + two reserved bytes
constexpr std::uint64_t kFilePropertiesSize = kObjectHeaderSize + 80;
constexpr std::uint32_t kMaxObjects = 4096;  // a header holds a few dozen at most

bool ReadBytes(std::ifstream& in, std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(in.gcount()) == count;
}

bool SameGuid(const std::uint8_t* bytes, const TGuidBytes& guid) {
    return std::memcmp(bytes, guid.data(), guid.size()) == 0;
}

// Whether the attribute object at position, of size bytes, has room for the records its count
// declares. TagLib reads as many records as declared, past the object and the file's end, so a
// few hundred bytes could make it build tens of thousands of attributes.
bool RecordsFit(std::ifstream& in, std::uint64_t position, std::uint64_t size,
                std::uint64_t smallestRecord) {
    std::array<std::uint8_t, 2> count{};
    return size >= kObjectHeaderSize + count.size() &&
           ReadBytes(in, position + kObjectHeaderSize, count.data(), count.size()) &&
           ReadLE16(count, 0) * smallestRecord <= size - kObjectHeaderSize - count.size();
}

// The objects inside a Header Extension object: each within it, the attribute ones with room
// for their records.
bool ExtensionFits(std::ifstream& in, std::uint64_t position, std::uint64_t size) {
    std::array<std::uint8_t, kObjectHeaderSize> object{};
    if (size < kHeaderExtensionDataAt + 4 ||
        !ReadBytes(in, position + kHeaderExtensionDataAt, object.data(), 4)) {
        return false;
    }
    const std::uint64_t end =
        position + std::min<std::uint64_t>(size, kHeaderExtensionDataAt + 4 + ReadLE32(object, 0));
    for (std::uint64_t at = position + kHeaderExtensionDataAt + 4; end - at >= kObjectHeaderSize;) {
        if (!ReadBytes(in, at, object.data(), object.size())) {
            return false;
        }
        const std::uint64_t inner = ReadLE64(object, 16);
        if (inner < kObjectHeaderSize || inner > end - at) {
            return false;
        }
        if ((SameGuid(object.data(), kMetadataObject) ||
             SameGuid(object.data(), kMetadataLibraryObject)) &&
            !RecordsFit(in, at, inner, kSmallestMetadataRecord)) {
            return false;
        }
        at += inner;
    }
    return true;
}

}  // namespace

std::uint64_t TAsfFileProperties::Duration() const {
    const std::uint64_t preroll = Preroll * 10000;
    return PlayDuration > preroll ? PlayDuration - preroll : 0;
}

bool TAsfFileProperties::Read(const std::string& path) {
    *this = {};
    std::ifstream in(path, std::ios::binary);
    std::array<std::uint8_t, kHeaderObjectSize> header{};
    if (!in || !ReadBytes(in, 0, header.data(), header.size()) ||
        !SameGuid(header.data(), kHeaderObject)) {
        return false;
    }
    const std::uint64_t headerSize = ReadLE64(header, 16);
    const auto objects = ReadLE32(header, 24);
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (error || headerSize < kHeaderObjectSize || headerSize > fileSize) {
        return false;  // TagLib would try to save such a header and never finish
    }

    std::uint64_t position = kHeaderObjectSize;
    bool found = false;
    for (std::uint32_t i = 0; i < std::min(objects, kMaxObjects); ++i) {
        std::array<std::uint8_t, kFilePropertiesSize> object{};
        // TagLib reads every object the count declares, each as far as its size says, and
        // writes them all back on saving: a header with a damaged object is refused.
        if (headerSize < kObjectHeaderSize || position > headerSize - kObjectHeaderSize ||
            !ReadBytes(in, position, object.data(), kObjectHeaderSize)) {
            *this = {};
            return false;
        }
        const std::uint64_t size = ReadLE64(object, 16);
        if (size < kObjectHeaderSize || size > headerSize - position) {
            *this = {};
            return false;
        }
        if (SameGuid(object.data(), kFilePropertiesObject)) {
            if (size < kFilePropertiesSize ||
                !ReadBytes(in, position, object.data(), kFilePropertiesSize)) {
                return false;
            }
            // After the object header: file id 16, file size 8, creation date 8, packets 8,
            // play duration 8, send duration 8, preroll 8, flags 4, packet sizes 4 + 4, bitrate 4.
            PlayDuration = ReadLE64(object, kObjectHeaderSize + 40);
            Preroll = ReadLE64(object, kObjectHeaderSize + 56);
            MaxBitrate = ReadLE32(object, kObjectHeaderSize + 76);
            found = true;
        } else if ((SameGuid(object.data(), kExtendedContentDescriptionObject) &&
                    !RecordsFit(in, position, size, kSmallestDescriptor)) ||
                   (SameGuid(object.data(), kHeaderExtensionObject) &&
                    !ExtensionFits(in, position, size))) {
            *this = {};
            return false;
        }
        position += size;
    }
    if (!found) {
        *this = {};
    }
    return found;
}
