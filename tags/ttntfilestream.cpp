#include "tags/ttntfilestream.h"

#include "tags/efileerror.h"
#include "tags/textcodec.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

TTntFileStream::TTntFileStream(const std::u16string& fileName, std::uint16_t mode)
    : fileName_(fileName) {
    handle_ = mode == fmCreate ? UniCreateFile(fileName) : UniOpenFile(fileName, mode);
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

std::int64_t TTntFileStream::ReadAt(std::int64_t position, void* buffer, std::int64_t count) {
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
    return memory_ != nullptr ? std::ssize(*memory_) : UniFileSize(handle_);
}

void TTntFileStream::SetSize(std::int64_t size) {
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
