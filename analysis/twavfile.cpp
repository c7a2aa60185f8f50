#include "analysis/twavfile.h"

#include "tags/bytes.h"
#include "tags/textcodec.h"
#include "tags/ttntfilestream.h"

#include <array>
#include <string_view>

namespace {

bool IdAt(std::span<const std::uint8_t> bytes, std::size_t p, std::string_view id) {
    return AsChars(bytes.subspan(p, id.size())) == id;
}

}  // namespace

void TWAVfile::Clear() {
    Valid = false;
    Channels = 0;
    SampleRate = 0;
    BitsPerSample = 0;
    FileSize = 0;
}

bool TWAVfile::AnalyseHeader(std::span<const std::uint8_t> header) {
    Clear();
    if (header.size() < WAVHeaderSize) {
        return false;
    }
    const std::uint16_t channels = ReadLE16(header, 22);
    // The format tag is not looked at: any coding with one or two channels passes.
    if (IdAt(header, 0, "RIFF") && IdAt(header, 8, "WAVE") && IdAt(header, 12, "fmt ") &&
        (channels == 1 || channels == 2)) {
        Valid = true;
        Channels = static_cast<std::uint8_t>(channels);
        SampleRate = ReadLE32(header, 24);
        BitsPerSample = header[34];
        FileSize = std::int64_t{ReadLE32(header, 4)} + 8;
    }
    return true;
}

bool TWAVfile::Analyse(const std::string& path) {
    Clear();
    std::array<std::uint8_t, WAVHeaderSize> header{};
    std::int64_t read = 0;
    try {
        // Others may go on reading the file (it may be playing); nobody may write it meanwhile.
        TTntFileStream stream(NativeToUtf16(path), fmOpenRead | fmShareDenyWrite);
        read = stream.Read(header.data(), WAVHeaderSize);
    } catch (const std::exception&) {  // EFOpenError and anything else of the file layer
        return false;
    }
    if (read < 0) {
        return false;
    }
    return AnalyseHeader(
        std::span<const std::uint8_t>(header).first(static_cast<std::size_t>(read)));
}
