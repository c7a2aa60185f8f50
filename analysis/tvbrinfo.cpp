#include "analysis/tvbrinfo.h"

#include "tags/bytes.h"

#include <string_view>

namespace {

bool HasTagAt(std::span<const std::uint8_t> chunk, std::size_t p, std::string_view tag,
              std::size_t length) {
    if (p > chunk.size() || chunk.size() - p < length) {
        return false;
    }
    return AsChars(chunk.subspan(p, tag.size())) == tag;
}

}  // namespace

TVBRInfo ReadVBRHeader(std::span<const std::uint8_t> chunk, std::size_t p) {
    TVBRInfo vbr;
    // Xing: tag, flags, frames, bytes (16 bytes). VBRI: tag, version, delay, quality, bytes,
    // frames (18 bytes).
    if (HasTagAt(chunk, p, "Xing", 16)) {
        vbr.Found = true;
        vbr.Tag = {'X', 'i', 'n', 'g'};
        vbr.VBRFrames = static_cast<std::int32_t>(ReadBE32(chunk, p + 8));
        vbr.VBRBytes = static_cast<std::int32_t>(ReadBE32(chunk, p + 12));
    } else if (HasTagAt(chunk, p, "VBRI", 18)) {
        vbr.Found = true;
        vbr.Tag = {'V', 'B', 'R', 'I'};
        vbr.VBRBytes = static_cast<std::int32_t>(ReadBE32(chunk, p + 10));
        vbr.VBRFrames = static_cast<std::int32_t>(ReadBE32(chunk, p + 14));
    }
    return vbr;
}
