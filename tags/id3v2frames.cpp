#include "tags/id3v2frames.h"

#include "tags/textcodec.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kHeaderLength = 10;
constexpr std::uint8_t kTagUnsynchronisation = 0x80;
// Bit 6 is the extended header in versions 2.3 and 2.4.
constexpr std::uint8_t kTagExtendedHeader = 0x40;

// Version-2.3 frame format flags, and the bytes each adds in front of the content.
constexpr std::uint8_t k3Compressed = 0x80;  // 4: the decompressed size
constexpr std::uint8_t k3Encrypted = 0x40;   // 1: the encryption method
constexpr std::uint8_t k3Grouped = 0x20;     // 1: the group
// Version-2.4 frame format flags.
constexpr std::uint8_t k4Grouped = 0x40;     // 1: the group
constexpr std::uint8_t k4Compressed = 0x08;  // needs the data length indicator
constexpr std::uint8_t k4Encrypted = 0x04;   // 1: the encryption method
constexpr std::uint8_t k4Unsynchronised = 0x02;
constexpr std::uint8_t k4DataLength = 0x01;  // 4: the data length indicator, syncsafe

// Undoes unsynchronisation: the zero byte that follows each FF was inserted by the writer.
Bytes Resynchronised(ByteSpan b) {
    Bytes out;
    out.reserve(b.size());
    for (std::size_t i = 0; i < b.size(); ++i) {
        out.push_back(b[i]);
        if (b[i] == 0xFF && i + 1 < b.size() && b[i + 1] == 0) {
            ++i;
        }
    }
    return out;
}

bool IsFrameIdChar(std::uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool AllZero(ByteSpan b) {
    return std::all_of(b.begin(), b.end(), [](std::uint8_t c) { return c == 0; });
}

enum class TSizes { Bits24, Plain, Syncsafe };

// A frame header found by a walk: where its content lies in the frame area.
struct TFound {
    std::string id;
    std::uint8_t status = 0;
    std::uint8_t format = 0;
    std::size_t at = 0;
    std::size_t size = 0;
};

struct TWalk {
    std::vector<TFound> frames;
    // Frames that each end on a valid identifier, on padding or at the area's end, before the
    // first that does not.
    std::size_t sound = 0;
    bool damaged = false;  // ended on bytes that are neither a frame nor zeros to the end
};

// Padding is zero bytes: a frame header's worth of them (or the rest of the area) starts it.
bool PaddingAt(ByteSpan area, std::size_t at, std::size_t headerLength) {
    return AllZero(area.subspan(at, std::min(headerLength, area.size() - at)));
}

bool FrameAt(ByteSpan area, std::size_t at, std::size_t headerLength, std::size_t idLength) {
    return at + headerLength <= area.size() &&
           std::all_of(area.begin() + static_cast<std::ptrdiff_t>(at),
                       area.begin() + static_cast<std::ptrdiff_t>(at + idLength), IsFrameIdChar);
}

// Walks the frame headers of the area. The walk ends at padding, at a byte that cannot start an
// identifier, at a size with its top bit set and at a frame that runs past the area, which is
// kept up to the area's end.
TWalk Walk(ByteSpan area, std::uint8_t version, TSizes sizes) {
    const std::size_t headerLength = version == 2 ? 6 : 10;
    const std::size_t idLength = version == 2 ? 3 : 4;
    TWalk walk;
    bool sound = true;
    for (std::size_t at = 0;;) {
        const bool end = at == area.size() || PaddingAt(area, at, headerLength);
        // The frame before ends well when this is the end, padding or a valid frame.
        if (sound && !walk.frames.empty() && (end || FrameAt(area, at, headerLength, idLength))) {
            ++walk.sound;
        } else {
            sound = sound && walk.frames.empty();
        }
        // Identifiers are capitals and digits; zero bytes are padding; anything else ends the
        // frames (damage, or another program's padding).
        if (end || !FrameAt(area, at, headerLength, idLength)) {
            walk.damaged = !end || !AllZero(area.subspan(at));
            return walk;
        }
        const ByteSpan header = area.subspan(at, headerLength);
        TFound frame;
        frame.id.assign(AsChars(header.first(idLength)));
        std::uint32_t size = 0;
        if (sizes == TSizes::Bits24) {
            size = ReadBE24(header, 3);
        } else if (sizes == TSizes::Plain) {
            size = ReadBE32(header, 4);
            if ((size & 0x80000000u) != 0) {
                return walk;
            }
        } else {
            // A size that cannot be syncsafe is read as the plain number it must be.
            size = IsSyncsafe32(header, 4) ? ReadSyncsafe32(header, 4) : ReadBE32(header, 4);
            if ((size & 0x80000000u) != 0) {
                return walk;
            }
        }
        if (version != 2) {
            frame.status = header[8];
            frame.format = header[9];
        }
        frame.at = at + headerLength;
        frame.size = std::min<std::size_t>(size, area.size() - frame.at);
        walk.frames.push_back(frame);
        if (frame.size < size) {
            return walk;
        }
        at = frame.at + frame.size;
    }
}

// Version-2.4 sizes are syncsafe, but some encoders write plain numbers. The reading that lands
// more frames well wins; syncsafe when both land as many (a syncsafe reading is never longer,
// so when both land every frame it reads at least as many).
TWalk WalkVersion4(ByteSpan area, bool& plainSizes) {
    TWalk syncsafe = Walk(area, 4, TSizes::Syncsafe);
    TWalk plain = Walk(area, 4, TSizes::Plain);
    plainSizes = plain.sound > syncsafe.sound;
    return plainSizes ? plain : syncsafe;
}

// The bytes of the frame's flags in front of its content: how many there are, or nullopt when
// the frame is too short to hold them.
std::optional<std::size_t> FlagBytes(std::uint8_t version, std::uint8_t format, std::size_t size) {
    std::size_t n = 0;
    if (version == 3) {
        n = ((format & k3Compressed) != 0 ? 4 : 0) + ((format & k3Encrypted) != 0 ? 1 : 0) +
            ((format & k3Grouped) != 0 ? 1 : 0);
    } else if (version == 4) {
        n = ((format & k4Grouped) != 0 ? 1 : 0) + ((format & k4Encrypted) != 0 ? 1 : 0) +
            ((format & k4DataLength) != 0 ? 4 : 0);
    }
    return n <= size ? std::optional(n) : std::nullopt;
}

TID3v2Frame MakeFrame(ByteSpan area, std::uint8_t version, const TFound& found) {
    TID3v2Frame frame;
    frame.id = found.id;
    frame.status = found.status;
    frame.format = found.format;
    const ByteSpan raw = area.subspan(found.at, found.size);
    if (version == 4 && (found.format & k4Unsynchronised) != 0) {
        frame.data = Resynchronised(raw);
    } else {
        frame.data.assign(raw.begin(), raw.end());
    }
    // Bits a version does not define (the top one in version 2.4) are no reason not to read a
    // frame, as other readers read it.
    if (version == 3) {
        frame.opaque = (found.format & (k3Compressed | k3Encrypted)) != 0;
    } else if (version == 4) {
        frame.opaque = (found.format & (k4Compressed | k4Encrypted)) != 0;
    }
    const std::optional<std::size_t> flagBytes =
        FlagBytes(version, found.format, frame.data.size());
    if (flagBytes) {
        frame.contentAt = *flagBytes;
        // The data length indicator, the last of those bytes, is the content's length once
        // unsynchronisation is undone: bytes past it are not the frame's.
        if (version == 4 && (found.format & k4DataLength) != 0 && !frame.opaque) {
            const std::size_t length = ReadSyncsafe32(frame.data, frame.contentAt - 4);
            if (length < frame.data.size() - frame.contentAt) {
                frame.data.resize(frame.contentAt + length);
            }
        }
    } else {
        // Too short for what its flags announce: only its bytes can be kept.
        frame.contentAt = frame.data.size();
        frame.opaque = true;
    }
    return frame;
}

std::u16string Utf16Text(ByteSpan b, bool bigEndian) {
    std::u16string text;
    text.reserve(b.size() / 2);
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        const char16_t unit = bigEndian ? ReadBE16(b, i) : ReadLE16(b, i);
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

std::u16string EightBitText(ByteSpan b) {
    const std::string_view chars = AsChars(b);
    return Utf8OrLatin1ToUtf16(chars.substr(0, chars.find('\0')));
}

}  // namespace

bool ParseID3v2(ByteSpan tag, TID3v2Frames& out) {
    out = {};
    if (tag.size() < kHeaderLength || AsChars(tag.first(3)) != "ID3") {
        return false;
    }
    const std::uint8_t version = tag[3];
    const std::uint8_t flags = tag[5];
    // Version 2.2 calls bit 6 compression, but none was ever defined: a tag with the bit set
    // is read as any other, as other readers do, rather than dropped on saving.
    if (version < 2 || version > 4) {
        return false;
    }
    out.version = version;
    // The declared size counts neither the header nor a footer.
    const std::size_t declared = ReadSyncsafe32(tag, 6);
    ByteSpan body = tag.subspan(kHeaderLength, std::min(declared, tag.size() - kHeaderLength));
    Bytes resynchronised;
    if (version < 4 && (flags & kTagUnsynchronisation) != 0) {
        resynchronised = Resynchronised(body);
        body = resynchronised;
    }
    const auto walkFrom = [&](std::size_t start, bool& plainSizes) {
        const ByteSpan area = body.subspan(start);
        return version == 4   ? WalkVersion4(area, plainSizes)
               : version == 3 ? Walk(area, 3, TSizes::Plain)
                              : Walk(area, 2, TSizes::Bits24);
    };
    std::size_t start = 0;
    if (version > 2 && (flags & kTagExtendedHeader) != 0 && body.size() >= 4) {
        // Version 2.3 counts the bytes after the size (6 or 10), version 2.4 the whole extended
        // header (syncsafe, at least 6).
        const std::size_t size = version == 3 ? std::size_t{4} + ReadBE32(body, 0)
                                              : std::size_t{ReadSyncsafe32(body, 0)};
        const bool plausible =
            version == 3 ? size == 10 || size == 14 : IsSyncsafe32(body, 0) && size >= 6;
        // A size that cannot be one is a false flag, the frames starting at once, or one counted
        // as a plain number that takes in its own bytes, as some writers count it and other
        // readers skip it: whichever reading finds more frames is taken, so no frame another
        // reader shows is dropped on saving.
        const std::size_t counted = ReadBE32(body, 0);
        bool unused = false;
        if (plausible && size <= body.size()) {
            start = size;
        } else if (!plausible && counted >= 4 && counted <= body.size() &&
                   walkFrom(counted, unused).frames.size() > walkFrom(0, unused).frames.size()) {
            start = counted;
        }
    }
    const ByteSpan area = body.subspan(start);
    const TWalk walk = walkFrom(start, out.plainSizes);
    out.damaged = walk.damaged;
    out.frames.reserve(walk.frames.size());
    for (const TFound& found : walk.frames) {
        out.frames.push_back(MakeFrame(area, version, found));
    }
    return true;
}

std::size_t Version3Size(const std::vector<TID3v2Frame>& frames) {
    std::size_t size = kHeaderLength;
    for (const TID3v2Frame& frame : frames) {
        size += kHeaderLength + frame.data.size();
    }
    return size;
}

Bytes RenderVersion3(const std::vector<TID3v2Frame>& frames, std::size_t padding) {
    const std::size_t size = Version3Size(frames) + padding;
    Bytes tag{'I', 'D', '3', 3, 0, 0};
    tag.reserve(size);
    AppendSyncsafe32(tag, static_cast<std::uint32_t>(size - kHeaderLength));
    for (const TID3v2Frame& frame : frames) {
        AppendText(tag, frame.id);
        AppendBE32(tag, static_cast<std::uint32_t>(frame.data.size()));
        tag.push_back(frame.status);
        tag.push_back(frame.format);
        tag.insert(tag.end(), frame.data.begin(), frame.data.end());
    }
    tag.resize(size, 0);
    return tag;
}

bool IsWideEncoding(std::uint8_t encoding) {
    return encoding == 1 || encoding == 2;
}

std::u16string DecodeString(std::uint8_t encoding, ByteSpan bytes) {
    switch (encoding) {
        case 1:
            if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
                return Utf16Text(bytes.subspan(2), true);
            }
            if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
                return Utf16Text(bytes.subspan(2), false);
            }
            return Utf16Text(bytes, false);
        case 2: {
            std::u16string text = Utf16Text(bytes, true);
            if (!text.empty() && text.front() == 0xFEFF) {
                text.erase(0, 1);
            }
            return text;
        }
        default:
            return EightBitText(bytes);
    }
}

std::optional<TStringEnd> FindTerminator(std::uint8_t encoding, ByteSpan bytes) {
    const bool wide = IsWideEncoding(encoding);
    const std::size_t step = wide ? 2 : 1;
    for (std::size_t i = 0; i + step <= bytes.size(); i += step) {
        if (bytes[i] == 0 && (!wide || bytes[i + 1] == 0)) {
            return TStringEnd{i, i + step};
        }
    }
    return std::nullopt;
}

Bytes EncodeUtf16(std::u16string_view text) {
    Bytes out;
    if (!text.empty()) {
        out.reserve(2 + 2 * text.size());
        out = {0xFF, 0xFE};
        for (char16_t unit : text) {
            AppendLE16(out, unit);
        }
    }
    return out;
}

std::u16string DecodeText(ByteSpan content) {
    if (content.empty()) {
        return {};
    }
    // Not an encoding byte: the content is taken as 8-bit text from its first byte.
    std::u16string text =
        content[0] <= 3 ? DecodeString(content[0], content.subspan(1)) : EightBitText(content);
    TrimInPlace(text);
    return text;
}
