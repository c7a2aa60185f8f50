#include "analysis/twmafile.h"

#include "tags/bytes.h"
#include "tags/textcodec.h"
#include "tags/ttntfilestream.h"

#include <algorithm>
#include <array>

namespace {

// Header Object: GUID, size (8), object count (4), two reserved bytes; the objects follow.
constexpr std::uint64_t kFirstObject = 30;
// Every object starts with its GUID and its 64-bit size, so none is smaller than this.
constexpr std::uint64_t kObjectHeaderSize = 24;
// Field places counted from an object's first byte.
constexpr std::uint64_t kMaxBitRateAt = 100;
constexpr std::uint64_t kAudioFormatFieldsAt = 80;  // channels (2), rate (4), bytes/s (4)

// Reads exactly dest.size() bytes or reports the file as cut.
bool ReadExactly(const TWMAfile::ReadAt& read, std::uint64_t offset, std::span<std::uint8_t> dest) {
    return read(offset, dest) == dest.size();
}

bool SameGuid(std::span<const std::uint8_t> bytes, const ASFGuid& guid) {
    return std::equal(guid.begin(), guid.end(), bytes.begin());
}

}  // namespace

void TWMAfile::Clear() {
    Valid = false;
    Channels = 0;
    SampleRate = 0;
    BitRate = 0;
}

TWMAfile::Walk TWMAfile::WalkHeaderObjects(const ReadAt& read, std::uint64_t fileSize) {
    std::array<std::uint8_t, 4> countBytes{};
    if (!ReadExactly(read, 24, countBytes)) {
        return Walk::Cut;
    }
    // The count comes from the file, so it alone never bounds the walk: every object moves the
    // position on by at least 24 bytes and a read past the end stops it, so at most one object per
    // 24 bytes of the file is visited.
    const std::uint32_t count = ReadLE32(countBytes, 0);
    std::uint64_t position = kFirstObject;
    for (std::uint32_t k = 0; k < count; ++k) {
        std::array<std::uint8_t, kObjectHeaderSize> head{};
        if (!ReadExactly(read, position, head)) {
            return Walk::Cut;
        }
        const std::uint64_t size = ReadLE64(head, 16);
        if (size < kObjectHeaderSize) {
            return Walk::Done;  // malformed: a walk by this size would never move on
        }
        if (position > fileSize || size > fileSize - position) {
            return Walk::Cut;
        }
        // Fields are taken only when the object is big enough to hold them.
        if (SameGuid(head, ASFFilePropertiesObject) && size >= kMaxBitRateAt + 4) {
            std::array<std::uint8_t, 4> field{};
            if (!ReadExactly(read, position + kMaxBitRateAt, field)) {
                return Walk::Cut;
            }
            Facts.MaxBitRate = static_cast<std::int32_t>(ReadLE32(field, 0));
        } else if (SameGuid(head, ASFStreamPropertiesObject) && size >= kAudioFormatFieldsAt + 10) {
            // The stream type is not looked at: the last Stream Properties Object wins.
            std::array<std::uint8_t, 10> fields{};
            if (!ReadExactly(read, position + kAudioFormatFieldsAt, fields)) {
                return Walk::Cut;
            }
            Facts.Channels = ReadLE16(fields, 0);
            Facts.SampleRate = static_cast<std::int32_t>(ReadLE32(fields, 2));
            Facts.AvgBytesPerSec = static_cast<std::int32_t>(ReadLE32(fields, 6));
        }
        position += size;
    }
    return Walk::Done;
}

bool TWMAfile::AnalyseSource(const ReadAt& read, std::uint64_t fileSize) {
    Clear();
    Facts = {};
    ASFGuid guid{};
    if (!ReadExactly(read, 0, guid)) {
        return false;
    }
    if (guid == ASFHeaderObject && WalkHeaderObjects(read, fileSize) == Walk::Cut) {
        Facts = {};
        return false;
    }
    const bool plausible = Facts.MaxBitRate > 0 && Facts.MaxBitRate < 320000 &&
                           Facts.Channels >= 1 && Facts.Channels <= 6 && Facts.SampleRate >= 8000 &&
                           Facts.SampleRate <= 96000 && Facts.AvgBytesPerSec > 0 &&
                           Facts.AvgBytesPerSec < 40000;
    if (plausible) {
        Valid = true;
        Channels = static_cast<std::uint8_t>(Facts.Channels);
        SampleRate = Facts.SampleRate;
        BitRate = Facts.AvgBytesPerSec * 8 / 1000;
    }
    return true;
}

bool TWMAfile::AnalyseBytes(std::span<const std::uint8_t> file) {
    const ReadAt read = [file](std::uint64_t offset, std::span<std::uint8_t> dest) -> std::size_t {
        if (offset >= file.size()) {
            return 0;
        }
        const auto from = file.subspan(static_cast<std::size_t>(offset));
        const std::size_t n = std::min(dest.size(), from.size());
        std::copy_n(from.begin(), n, dest.begin());
        return n;
    };
    return AnalyseSource(read, file.size());
}

bool TWMAfile::Analyse(const std::string& path) {
    Clear();
    Facts = {};
    try {
        TTntFileStream stream(Utf8ToUtf16(path), fmOpenRead | fmShareDenyWrite);
        const std::int64_t size = stream.Size();
        if (size < 0) {
            return false;
        }
        const ReadAt read = [&stream](std::uint64_t offset, std::span<std::uint8_t> dest) {
            if (stream.Seek(static_cast<std::int64_t>(offset), TSeekOrigin::soBeginning) < 0) {
                return std::size_t{0};
            }
            const std::int64_t n = stream.Read(dest.data(), static_cast<std::int64_t>(dest.size()));
            return n < 0 ? std::size_t{0} : static_cast<std::size_t>(n);
        };
        return AnalyseSource(read, static_cast<std::uint64_t>(size));
    } catch (const std::exception&) {  // EFOpenError and anything else of the file layer
        return false;
    }
}
