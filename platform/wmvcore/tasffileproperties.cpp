#include "platform/wmvcore/tasffileproperties.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "analysis/tasfheader.h"
#include "tags/bytes.h"

namespace {

constexpr std::uint64_t kObjectHeadSize = TAsfHeader::ObjectHeadSize;
// The Header Extension object: reserved GUID and word, then the size of the objects it holds.
constexpr std::uint64_t kHeaderExtensionDataAt = kObjectHeadSize + 18;
// The smallest attribute record: name length, type and value length (extended content
// description); reserved word, stream, name length, type and a 32-bit value length (metadata and
// metadata library), with empty names and values.
constexpr std::uint64_t kSmallestDescriptor = 6;
constexpr std::uint64_t kSmallestMetadataRecord = 12;
constexpr std::uint64_t kFilePropertiesSize = kObjectHeadSize + 80;
constexpr std::uint32_t kMaxObjects = 4096;  // a header holds a few dozen at most

// Whether the attribute object has room for the records its count declares. TagLib reads as
// many records as declared, past the object and the file's end, so a few hundred bytes could
// make it build tens of thousands of attributes.
bool RecordsFit(const TAsfHeader& header, const TAsfHeader::TObject& object,
                std::uint64_t smallestRecord) {
    std::array<std::uint8_t, 2> count{};
    return object.Size >= kObjectHeadSize + count.size() &&
           header.Read(object.Position + kObjectHeadSize, count) &&
           ReadLE16(count, 0) * smallestRecord <= object.Size - kObjectHeadSize - count.size();
}

// The objects inside a Header Extension object: each within it, the attribute ones with room
// for their records.
bool ExtensionFits(const TAsfHeader& header, const TAsfHeader::TObject& extension,
                   TAsfFileProperties& properties) {
    std::array<std::uint8_t, 4> dataSize{};
    if (extension.Size < kHeaderExtensionDataAt + dataSize.size() ||
        !header.Read(extension.Position + kHeaderExtensionDataAt, dataSize)) {
        return false;
    }
    const std::uint64_t from = extension.Position + kHeaderExtensionDataAt + dataSize.size();
    const std::uint64_t end =
        extension.Position +
        std::min<std::uint64_t>(extension.Size,
                                kHeaderExtensionDataAt + dataSize.size() + ReadLE32(dataSize, 0));
    const auto visit = [&](const TAsfHeader::TObject& object) {
        // TagLib writes a name's values into the last object of each kind.
        if (object.Guid == ASFMetadataObject) {
            properties.MetadataAt = object.Position;
        } else if (object.Guid == ASFMetadataLibraryObject) {
            properties.MetadataLibraryAt = object.Position;
        }
        return (object.Guid != ASFMetadataObject && object.Guid != ASFMetadataLibraryObject) ||
               RecordsFit(header, object, kSmallestMetadataRecord);
    };
    return header.WalkRun(from, end, visit) == TAsfHeader::TWalk::Complete;
}

}  // namespace

std::uint64_t TAsfFileProperties::Duration() const {
    const std::uint64_t preroll = Preroll * 10000;
    return PlayDuration > preroll ? PlayDuration - preroll : 0;
}

bool TAsfFileProperties::Read(const std::string& path) {
    *this = {};
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (!in || error) {
        return false;
    }
    TAsfHeader header(
        [&in](std::uint64_t offset, std::span<std::uint8_t> dest) {
            in.clear();  // a short read before must not end every later one
            in.seekg(static_cast<std::streamoff>(offset));
            in.read(reinterpret_cast<char*>(dest.data()),
                    static_cast<std::streamsize>(dest.size()));
            return static_cast<std::size_t>(in.gcount());
        },
        fileSize);
    if (header.Open() != TAsfHeader::TOpen::Found || header.Size() < TAsfHeader::FirstObject ||
        header.Size() > fileSize) {
        return false;  // TagLib would try to save such a header and never finish
    }

    bool found = false;
    const auto visit = [&](const TAsfHeader::TObject& object) {
        if (object.Guid == ASFFilePropertiesObject) {
            std::array<std::uint8_t, kFilePropertiesSize> fields{};
            if (object.Size < kFilePropertiesSize || !header.Read(object.Position, fields)) {
                return false;
            }
            // After the object head: file id 16, file size 8, creation date 8, packets 8,
            // play duration 8, send duration 8, preroll 8, flags 4, packet sizes 4 + 4, bitrate 4.
            PlayDuration = ReadLE64(fields, kObjectHeadSize + 40);
            Preroll = ReadLE64(fields, kObjectHeadSize + 56);
            MaxBitrate = ReadLE32(fields, kObjectHeadSize + 76);
            found = true;
            return true;
        }
        if (object.Guid == ASFExtendedContentDescriptionObject) {
            ExtendedContentAt = object.Position;
            return RecordsFit(header, object, kSmallestDescriptor);
        }
        if (object.Guid == ASFHeaderExtensionObject) {
            HeaderExtensionAt = object.Position;
            return ExtensionFits(header, object, *this);
        }
        return true;
    };
    // TagLib reads every object the count declares, each as far as its size says, and writes
    // them all back on saving: a header with a damaged object is refused.
    const TAsfHeader::TWalk walk =
        header.Walk(std::min(header.ObjectCount(), kMaxObjects), header.Size(), visit);
    if (walk != TAsfHeader::TWalk::Complete || !found) {
        *this = {};
        return false;
    }
    return true;
}
