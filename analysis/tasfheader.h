#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "analysis/asfguid.h"

// The objects of an ASF header, visited one after the other over any source of bytes. Every
// object starts with its GUID and its 64-bit size and the next one follows it, so only the
// 24-byte heads and the fields a visitor asks for are read; the media data never is.
class TAsfHeader {
public:
    // Copies up to dest.size() bytes from the given offset of a file into dest and returns how
    // many were copied: fewer at the end of the file.
    using ReadAt = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> dest)>;

    struct TObject {
        ASFGuid Guid{};
        std::uint64_t Position = 0;  // of its first byte, from the start of the file
        std::uint64_t Size = 0;      // bytes, its head included; at least ObjectHeadSize
    };
    // Called for each object; false ends the walk as Stopped.
    using Visitor = std::function<bool(const TObject&)>;

    enum class TOpen { Found, NotAsf, Cut };
    enum class TWalk {
        Complete,    // every object asked for was visited
        Cut,         // a read ran short, or an object runs past the end given
        Undersized,  // an object claims fewer than 24 bytes, so its size would never move on
        Stopped,     // the visitor ended it
    };

    static constexpr std::uint64_t ObjectHeadSize = 24;  // GUID + 64-bit size
    // Header Object: GUID, size (8), object count (4), two reserved bytes; the objects follow.
    static constexpr std::uint64_t FirstObject = 30;

    TAsfHeader(ReadAt read, std::uint64_t fileSize);
    // Over bytes in memory, which must outlive the object.
    explicit TAsfHeader(std::span<const std::uint8_t> file);

    // Reads the Header Object's GUID, size and object count. Cut when the file ends before
    // them (or before 16 bytes); NotAsf when it starts with another GUID.
    TOpen Open();
    std::uint64_t Size() const { return size_; }          // bytes, as the Header Object declares
    std::uint32_t ObjectCount() const { return count_; }  // as declared: not to be trusted
    std::uint64_t FileSize() const { return fileSize_; }

    // Visits count objects from FirstObject, none reaching past end.
    TWalk Walk(std::uint32_t count, std::uint64_t end, const Visitor& visit) const;
    // Visits the objects from `from` until fewer than a head's bytes are left before end.
    TWalk WalkRun(std::uint64_t from, std::uint64_t end, const Visitor& visit) const;

    // Reads exactly dest.size() bytes; false when the file has fewer there.
    bool Read(std::uint64_t offset, std::span<std::uint8_t> dest) const;

private:
    // Visits the object at position and moves position past it.
    TWalk Step(std::uint64_t& position, std::uint64_t end, const Visitor& visit) const;

    ReadAt read_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t size_ = 0;
    std::uint32_t count_ = 0;
};
