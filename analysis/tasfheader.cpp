#include "analysis/tasfheader.h"

#include <algorithm>
#include <array>
#include <utility>

#include "tags/bytes.h"

TAsfHeader::TAsfHeader(ReadAt read, std::uint64_t fileSize)
    : read_(std::move(read)), fileSize_(fileSize) {}

TAsfHeader::TAsfHeader(std::span<const std::uint8_t> file)
    : TAsfHeader(
          [file](std::uint64_t offset, std::span<std::uint8_t> dest) -> std::size_t {
              if (offset >= file.size()) {
                  return 0;
              }
              const auto from = file.subspan(static_cast<std::size_t>(offset));
              const std::size_t n = std::min(dest.size(), from.size());
              std::copy_n(from.begin(), n, dest.begin());
              return n;
          },
          file.size()) {}

bool TAsfHeader::Read(std::uint64_t offset, std::span<std::uint8_t> dest) const {
    return read_(offset, dest) == dest.size();
}

TAsfHeader::TOpen TAsfHeader::Open() {
    size_ = 0;
    count_ = 0;
    ASFGuid guid{};
    if (!Read(0, guid)) {
        return TOpen::Cut;
    }
    if (guid != ASFHeaderObject) {
        return TOpen::NotAsf;
    }
    // The two reserved bytes after the count are not needed, so a file may end before them.
    std::array<std::uint8_t, 12> fields{};
    if (!Read(guid.size(), fields)) {
        return TOpen::Cut;
    }
    size_ = ReadLE64(fields, 0);
    count_ = ReadLE32(fields, 8);
    return TOpen::Found;
}

TAsfHeader::TWalk TAsfHeader::Step(std::uint64_t& position, std::uint64_t end,
                                   const Visitor& visit) const {
    std::array<std::uint8_t, ObjectHeadSize> head{};
    if (position > end || end - position < head.size() || !Read(position, head)) {
        return TWalk::Cut;
    }
    TObject object;
    object.Position = position;
    object.Size = ReadLE64(head, 16);
    if (object.Size < ObjectHeadSize) {
        return TWalk::Undersized;
    }
    if (object.Size > end - position) {
        return TWalk::Cut;
    }
    std::copy_n(head.begin(), object.Guid.size(), object.Guid.begin());
    if (!visit(object)) {
        return TWalk::Stopped;
    }
    position += object.Size;
    return TWalk::Complete;
}

TAsfHeader::TWalk TAsfHeader::Walk(std::uint32_t count, std::uint64_t end,
                                   const Visitor& visit) const {
    // The count comes from the file, so it alone never bounds the walk: every object moves the
    // position on by at least 24 bytes and none may pass end, so at most one object per 24
    // bytes is visited.
    std::uint64_t position = FirstObject;
    for (std::uint32_t k = 0; k < count; ++k) {
        if (const TWalk step = Step(position, end, visit); step != TWalk::Complete) {
            return step;
        }
    }
    return TWalk::Complete;
}

TAsfHeader::TWalk TAsfHeader::WalkRun(std::uint64_t from, std::uint64_t end,
                                      const Visitor& visit) const {
    std::uint64_t position = from;
    while (position <= end && end - position >= ObjectHeadSize) {
        if (const TWalk step = Step(position, end, visit); step != TWalk::Complete) {
            return step;
        }
    }
    return TWalk::Complete;
}
