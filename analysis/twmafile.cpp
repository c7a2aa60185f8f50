#include "analysis/twmafile.h"

#include "tags/bytes.h"
#include "tags/textcodec.h"
#include "tags/ttntfilestream.h"

#include <array>
#include <utility>

namespace {

// Field places counted from an object's first byte.
constexpr std::uint64_t kMaxBitRateAt = 100;
constexpr std::uint64_t kAudioFormatFieldsAt = 80;  // channels (2), rate (4), bytes/s (4)

}  // namespace

void TWMAfile::Clear() {
    Valid = false;
    Channels = 0;
    SampleRate = 0;
    BitRate = 0;
}

bool TWMAfile::WalkHeaderObjects(const TAsfHeader& header) {
    const auto visit = [&](const TAsfHeader::TObject& object) {
        // Fields are taken only when the object is big enough to hold them.
        if (object.Guid == ASFFilePropertiesObject && object.Size >= kMaxBitRateAt + 4) {
            std::array<std::uint8_t, 4> field{};
            if (!header.Read(object.Position + kMaxBitRateAt, field)) {
                return false;
            }
            Facts.MaxBitRate = static_cast<std::int32_t>(ReadLE32(field, 0));
        } else if (object.Guid == ASFStreamPropertiesObject &&
                   object.Size >= kAudioFormatFieldsAt + 10) {
            // The stream type is not looked at: the last Stream Properties Object wins.
            std::array<std::uint8_t, 10> fields{};
            if (!header.Read(object.Position + kAudioFormatFieldsAt, fields)) {
                return false;
            }
            Facts.Channels = ReadLE16(fields, 0);
            Facts.SampleRate = static_cast<std::int32_t>(ReadLE32(fields, 2));
            Facts.AvgBytesPerSec = static_cast<std::int32_t>(ReadLE32(fields, 6));
        }
        return true;
    };
    // The walk is bounded by the file, not by the Header Object's own size: the reader takes what
    // it can find. An object too small to move on ends the walk with what was gathered so far.
    const TAsfHeader::TWalk walk = header.Walk(header.ObjectCount(), header.FileSize(), visit);
    return walk == TAsfHeader::TWalk::Complete || walk == TAsfHeader::TWalk::Undersized;
}

bool TWMAfile::AnalyseHeader(TAsfHeader header) {
    Clear();
    Facts = {};
    const TAsfHeader::TOpen open = header.Open();
    if (open == TAsfHeader::TOpen::Cut) {
        return false;
    }
    if (open == TAsfHeader::TOpen::Found && !WalkHeaderObjects(header)) {
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

bool TWMAfile::AnalyseSource(const ReadAt& read, std::uint64_t fileSize) {
    return AnalyseHeader(TAsfHeader(read, fileSize));
}

bool TWMAfile::AnalyseBytes(std::span<const std::uint8_t> file) {
    return AnalyseHeader(TAsfHeader(file));
}

bool TWMAfile::Analyse(const std::string& path) {
    Clear();
    Facts = {};
    try {
        TTntFileStream stream(NativeToUtf16(path), fmOpenRead | fmShareDenyWrite);
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
