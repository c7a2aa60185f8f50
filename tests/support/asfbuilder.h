#pragma once

#include "analysis/twmafile.h"
#include "tags/bytes.h"

#include <array>
#include <cstdint>
#include <vector>

// Builds ASF headers and objects byte by byte for the tests of the WMA reader and module.
namespace asftest {

using Guid = ASFGuid;
// The reader's own identifiers; the real files of realfiles_test.cpp check them.
constexpr const Guid& kHeader = ASFHeaderObject;
constexpr const Guid& kFileProperties = ASFFilePropertiesObject;
constexpr const Guid& kStreamProperties = ASFStreamPropertiesObject;
// The Data Object that follows the header, and some other header object.
constexpr const Guid& kData = ASFDataObject;
constexpr const Guid& kOther = ASFContentDescriptionObject;

inline void PutLE(Bytes& b, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// An object of the given total size: GUID, 64-bit size, then zeros.
inline Bytes Object(const Guid& guid, std::size_t size) {
    Bytes object(size, 0);
    std::copy(guid.begin(), guid.end(), object.begin());
    PutLE(object, 16, size, 8);
    return object;
}

inline Bytes FileProperties(std::uint32_t maxBitRate) {
    Bytes object = Object(kFileProperties, 104);
    PutLE(object, 100, maxBitRate, 4);
    return object;
}

// An audio Stream Properties Object with a WAVEFORMATEX at 78 and 8 bytes of error correction data.
inline Bytes AudioStream(std::uint16_t channels, std::uint32_t sampleRate,
                         std::uint32_t bytesPerSecond) {
    Bytes object = Object(kStreamProperties, 96 + 8);
    PutLE(object, 64, 18, 4);  // type-specific data length
    PutLE(object, 68, 8, 4);   // error correction data length
    PutLE(object, 78, 0x161, 2);
    PutLE(object, 80, channels, 2);
    PutLE(object, 82, sampleRate, 4);
    PutLE(object, 86, bytesPerSecond, 4);
    return object;
}

// A Header Extension Object holding the given objects after its 46 bytes of fields.
inline Bytes HeaderExtension(const std::vector<Bytes>& objects) {
    Bytes extension = Object(ASFHeaderExtensionObject, 46);
    for (const Bytes& object : objects) {
        extension.insert(extension.end(), object.begin(), object.end());
    }
    PutLE(extension, 16, extension.size(), 8);
    PutLE(extension, 42, extension.size() - 46, 4);
    return extension;
}

// The file with one more header object in front of its others, counted and sized in.
inline Bytes Prepended(Bytes file, const Bytes& object) {
    file.insert(file.begin() + 30, object.begin(), object.end());
    PutLE(file, 16, ReadLE64(file, 16) + object.size(), 8);
    PutLE(file, 24, ReadLE32(file, 24) + 1, 4);
    return file;
}

// A Header Object holding the given objects (counted as given), then a small Data Object.
inline Bytes File(const std::vector<Bytes>& objects, std::uint32_t count) {
    Bytes file(30, 0);
    std::copy(kHeader.begin(), kHeader.end(), file.begin());
    for (const Bytes& object : objects) {
        file.insert(file.end(), object.begin(), object.end());
    }
    PutLE(file, 16, file.size(), 8);
    PutLE(file, 24, count, 4);
    file[28] = 1;
    file[29] = 2;
    const Bytes data = Object(kData, 50 + 1000);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

inline Bytes File(const std::vector<Bytes>& objects) {
    return File(objects, static_cast<std::uint32_t>(objects.size()));
}

}  // namespace asftest
