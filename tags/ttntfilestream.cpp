#include "tags/ttntfilestream.h"

#include "tags/efileerror.h"
#include "tags/textcodec.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

TTntFileStream::TTntFileStream(const std::u16string& fileName, std::uint16_t mode)
    : fileName_(fileName) {
    handle_ = mode == fmCreate ? UniCreateFile(fileName) : UniOpenFile(fileName, mode, &openSize_);
    if (handle_ < 0) {
        const int error = UniLastError();
        const std::string path = Utf16ToUtf8(UniFullPath(fileName));
        const std::string reason = UniErrorText(error);
        if (mode == fmCreate) {
            throw EFCreateError("Cannot create file \"" + path + "\". " + reason);
        }
        throw EFOpenError("Cannot open file \"" + path + "\". " + reason);
    }
}

TTntFileStream::TTntFileStream(THandle handle, const std::u16string& fileName)
    : fileName_(fileName), handle_(handle) {}

TTntFileStream::TTntFileStream(Bytes& memory) : memory_(&memory) {}

TTntFileStream::~TTntFileStream() {
    if (handle_ >= 0) {
        ::close(handle_);
    }
}

std::int64_t TTntFileStream::Read(void* buffer, std::int64_t count) {
    if (memory_ != nullptr) {
        const std::int64_t n = ReadAt(memoryPosition_, buffer, count);
        memoryPosition_ += std::max<std::int64_t>(n, 0);
        return n;
    }
    return UniFileRead(handle_, buffer, count);
}

void TTntFileStream::KeepReads() {
    if (memory_ != nullptr) {
        return;  // nothing to save
    }
    if (openSize_ < 0) {
        openSize_ = UniFileSize(handle_);
    }
    keepReads_ = openSize_ >= 0;
}

void TTntFileStream::ForgetReads() {
    keepReads_ = false;
    keptCount_ = 0;
    openSize_ = -1;  // no longer the size
}

const TTntFileStream::TKept* TTntFileStream::KeptFor(std::int64_t position,
                                                     std::int64_t count) const {
    for (std::size_t i = 0; i < keptCount_; ++i) {
        const TKept& piece = kept_[i];
        const std::int64_t end = piece.at + piece.length;
        if (position >= piece.at && (position + count <= end || (piece.toEnd && position <= end))) {
            return &piece;
        }
    }
    return nullptr;
}

// The head is the first piece and stays; the others make room for the newest, the last.
TTntFileStream::TKept& TTntFileStream::NewPiece() {
    if (keptCount_ < kKeptPieces) {
        TKept& piece = kept_[keptCount_];
        piece.bytes = keptBytes_[keptCount_].data();
        ++keptCount_;
        return piece;
    }
    std::rotate(kept_.begin() + 1, kept_.begin() + 2, kept_.end());
    return kept_.back();
}

std::int64_t TTntFileStream::ReadAt(std::int64_t position, void* buffer, std::int64_t count) {
    if (!keepReads_ || position < 0 || count < 0) {
        return ReadFromFile(position, buffer, count);
    }
    if (const TKept* piece = KeptFor(position, count)) {
        const std::int64_t n = std::min(count, piece->at + piece->length - position);
        std::memcpy(buffer, piece->bytes + (position - piece->at),
                    static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
        return std::max<std::int64_t>(n, 0);
    }
    if (keptCount_ == 0) {
        const std::int64_t got = ReadFromFile(position, buffer, count);
        if (got >= 0 && count <= kPieceSize) {
            TKept& head = NewPiece();
            head.at = position;
            head.length = got;
            head.toEnd = got < count;
            std::memcpy(head.bytes, buffer, static_cast<std::size_t>(got));
        }
        return got;
    }
    // The bytes asked for and the piece after them in one call. Not past the end the open
    // found: a short read would cost one more call to confirm it.
    const std::int64_t ahead =
        std::clamp<std::int64_t>(openSize_ - position - count, 0, kPieceSize);
    if (ahead == 0) {
        return ReadFromFile(position, buffer, count);
    }
    TKept& piece = NewPiece();
    piece.at = position;
    piece.length = 0;
    piece.toEnd = false;
    iovec parts[2] = {{buffer, static_cast<std::size_t>(count)},
                      {piece.bytes, static_cast<std::size_t>(ahead)}};
    ssize_t got = ::preadv(handle_, parts, 2, position);
    while (got < 0 && errno == EINTR) {
        got = ::preadv(handle_, parts, 2, position);
    }
    if (got < 0) {
        return -1;
    }
    if (got < count) {
        // Short: the end of the file, or a signal; the piece stays empty.
        const std::int64_t rest =
            ReadFromFile(position + got, static_cast<std::uint8_t*>(buffer) + got, count - got);
        return rest < 0 ? -1 : got + rest;
    }
    piece.at = position + count;
    piece.length = got - count;
    piece.toEnd = got < count + kPieceSize;
    return count;
}

std::int64_t TTntFileStream::ReadFromFile(std::int64_t position, void* buffer, std::int64_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    if (memory_ != nullptr) {
        if (position < 0 || count < 0) {
            return -1;
        }
        const std::int64_t n = std::clamp<std::int64_t>(std::ssize(*memory_) - position, 0, count);
        std::copy_n(memory_->begin() + position, n, out);
        return n;
    }
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(handle_, out + done, static_cast<std::size_t>(count - done), position + done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

std::int64_t TTntFileStream::Write(const void* buffer, std::int64_t count) {
    ForgetReads();
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    if (memory_ != nullptr) {
        if (count <= 0) {
            return 0;
        }
        if (memoryPosition_ + count > std::ssize(*memory_)) {
            memory_->resize(static_cast<std::size_t>(memoryPosition_ + count));
        }
        std::copy_n(in, count, memory_->begin() + memoryPosition_);
        memoryPosition_ += count;
        return count;
    }
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(handle_, in + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += n;
    }
    return done;
}

void TTntFileStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count > 0 && Read(buffer, count) != count) {
        throw EReadError("Stream read error");
    }
}

void TTntFileStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count > 0 && Write(buffer, count) != count) {
        throw EWriteError("Stream write error");
    }
}

std::int64_t TTntFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    if (memory_ != nullptr) {
        const std::int64_t base = origin == TSeekOrigin::soBeginning ? 0
                                  : origin == TSeekOrigin::soCurrent ? memoryPosition_
                                                                     : std::ssize(*memory_);
        if (base + offset < 0) {
            return -1;
        }
        return memoryPosition_ = base + offset;
    }
    return UniFileSeek(handle_, offset, static_cast<int>(origin));
}

std::int64_t TTntFileStream::Position() const {
    return memory_ != nullptr ? memoryPosition_ : UniFileSeek(handle_, 0, 1);
}

void TTntFileStream::SetPosition(std::int64_t position) {
    if (Seek(position, TSeekOrigin::soBeginning) != position) {
        throw EReadError("Stream seek error");
    }
}

std::int64_t TTntFileStream::Size() const {
    if (memory_ != nullptr) {
        return std::ssize(*memory_);
    }
    return keepReads_ ? openSize_ : UniFileSize(handle_);
}

void TTntFileStream::SetSize(std::int64_t size) {
    ForgetReads();
    if (memory_ != nullptr && size >= 0) {
        memory_->resize(static_cast<std::size_t>(size));
        memoryPosition_ = size;
        return;
    }
    if (size < 0 || ::ftruncate(handle_, size) != 0 || UniFileSeek(handle_, size, 0) != size) {
        throw EWriteError("Stream size error");
    }
}

void TTntFileStream::Flush() {
    if (memory_ == nullptr && ::fsync(handle_) != 0) {
        throw EWriteError("Stream flush error");
    }
}

void TTntFileStream::StartWriteback(std::int64_t offset, std::int64_t count) {
    if (memory_ == nullptr) {
        ::sync_file_range(handle_, offset, count, SYNC_FILE_RANGE_WRITE);
    }
}

std::unique_ptr<TTntFileStream> OpenToRead(const std::u16string& fileName) {
    return std::make_unique<TTntFileStream>(fileName, fmShareDenyWrite);
}

std::unique_ptr<TTntFileStream> OpenToRead(Bytes& file) {
    return std::make_unique<TTntFileStream>(file);
}
