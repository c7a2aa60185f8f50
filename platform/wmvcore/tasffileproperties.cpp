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

constexpr std::uint64_t kObjectHeaderSize = 24;  // GUID + 64-bit size
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
    for (std::uint32_t i = 0; i < std::min(objects, kMaxObjects); ++i) {
        std::array<std::uint8_t, kFilePropertiesSize> object{};
        if (headerSize < kObjectHeaderSize || position > headerSize - kObjectHeaderSize ||
            !ReadBytes(in, position, object.data(), kObjectHeaderSize)) {
            return false;
        }
        const std::uint64_t size = ReadLE64(object, 16);
        if (size < kObjectHeaderSize || size > headerSize - position) {
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
            return true;
        }
        position += size;
    }
    return false;
}
