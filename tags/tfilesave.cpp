#include "tags/tfilesave.h"

#include "tags/efileerror.h"
#include "tags/textcodec.h"
#include "tags/unifile.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <exception>

namespace {

// The copy moves the audio in blocks of this size and starts the disk on every step.
constexpr std::int64_t kCopyBlock = std::int64_t{1} << 20;
constexpr std::int64_t kWritebackStep = std::int64_t{8} << 20;
// Names tried for the copy: "name~", then "name~1" to "name~999".
constexpr int kMaxCopyNames = 1000;

std::string FailureText(const char* what, const std::u16string& fileName, int error) {
    return std::string(what) + " \"" + Utf16ToUtf8(UniFullPath(fileName)) + "\". " +
           UniErrorText(error);
}

std::optional<mode_t> ModeOf(const std::u16string& fileName) {
    std::string name;
    struct stat st {};
    if (!UniNativeName(fileName, name) || ::stat(name.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return st.st_mode & 07777;
}

}  // namespace

TFileSave::TFileSave(const std::u16string& fileName, TWay way)
    : fileName_(UniResolvedPath(fileName)), way_(way) {
    if (way_ == TWay::InPlace) {
        // Writing in place needs the owner's write permission, which a read-only file lacks
        // until the save clears its attributes; a refused save takes it away again.
        const std::optional<mode_t> mode = ModeOf(fileName_);
        if (!UniSetAttributes(fileName_, 0)) {
            throw EFOpenError(FailureText("Cannot open file", fileName_, UniLastError()));
        }
        if (mode && (*mode & S_IWUSR) == 0) {
            oldMode_ = mode;
        }
    }
    try {
        const std::uint16_t access = way_ == TWay::InPlace ? fmOpenReadWrite : fmOpenRead;
        file_ = std::make_unique<TTntFileStream>(fileName_, access | fmShareExclusive);
    } catch (const std::exception&) {
        RestoreMode();
        throw;
    }
}

TFileSave::TFileSave(Bytes& memory, TWay way)
    : way_(way), file_(std::make_unique<TTntFileStream>(memory)), memory_(&memory) {}

TFileSave::~TFileSave() {
    const bool hadCopy = copy_ != nullptr;
    copy_.reset();
    if (!committed_ && hadCopy && memory_ == nullptr) {
        UniDeleteFile(copyName_);
    }
    file_.reset();
    if (!committed_) {
        RestoreMode();
    }
}

void TFileSave::RestoreMode() {
    std::string name;
    if (oldMode_ && UniNativeName(fileName_, name)) {
        ::chmod(name.c_str(), *oldMode_);
    }
}

bool TFileSave::Unchanged(ByteSpan start, std::int64_t size) {
    Bytes now(start.size());
    return file_->Size() == size &&
           file_->ReadAt(0, now.data(), std::ssize(now)) == std::ssize(now) &&
           std::equal(now.begin(), now.end(), start.begin());
}

TTntFileStream& TFileSave::Copy() {
    if (copy_) {
        return *copy_;
    }
    if (memory_ != nullptr) {
        copy_ = std::make_unique<TTntFileStream>(memoryCopy_);
        return *copy_;
    }
    // A free name beside the file, taken only when nothing holds it yet, so that no file of
    // the user's is ever emptied for a copy.
    for (int i = 0; i < kMaxCopyNames; ++i) {
        const std::u16string name =
            fileName_ + u"~" + (i == 0 ? std::u16string() : Utf8ToUtf16(std::to_string(i)));
        const THandle handle = UniCreateNewFile(name);
        if (handle != INVALID_HANDLE_VALUE) {
            copyName_ = name;
            copy_ = std::make_unique<TTntFileStream>(handle, name);
            return *copy_;
        }
        if (UniLastError() != EEXIST) {
            throw EFCreateError(FailureText("Cannot create file", name, UniLastError()));
        }
    }
    throw EFCreateError(FailureText("Cannot create file", fileName_ + u"~", EEXIST));
}

void TFileSave::CopyRest(std::int64_t offset) {
    TTntFileStream& copy = Copy();
    const std::int64_t size = file_->Size();
    std::int64_t left = size - offset;
    if (offset < 0 || left < 0) {
        throw EReadError("Stream read error");
    }
    // Large blocks, and the disk set to work on each few megabytes as they are written, so
    // that the flush at the end finds little left to wait for.
    Bytes buffer(static_cast<std::size_t>(std::min(left, kCopyBlock)));
    std::int64_t written = copy.Position();
    std::int64_t started = written;
    for (std::int64_t at = offset; left > 0;) {
        const std::int64_t n = file_->ReadAt(at, buffer.data(), std::min(left, kCopyBlock));
        if (n <= 0) {
            throw EReadError("Stream read error");
        }
        copy.WriteBuffer(buffer.data(), n);
        at += n;
        left -= n;
        written += n;
        if (written - started >= kWritebackStep) {
            copy.StartWriteback(started, written - started);
            started = written;
        }
    }
}

void TFileSave::Commit() {
    if (way_ == TWay::InPlace) {
        file_->Flush();
        committed_ = true;
        return;
    }
    TTntFileStream& copy = Copy();
    if (memory_ != nullptr) {
        *memory_ = std::move(memoryCopy_);
        committed_ = true;
        return;
    }
    if (!UniCopyAttributes(file_->Handle(), copy.Handle())) {
        throw EWriteError("Cannot give the copy the file's owner and attributes");
    }
    copy.Flush();
    if (!UniReplaceFile(copyName_, fileName_)) {
        throw EWriteError("Cannot replace file");
    }
    committed_ = true;
}

bool UniRewriteFile(const std::u16string& fileName, ByteSpan expectedStart,
                    std::int64_t expectedSize, ByteSpan head, std::int64_t keepFrom) {
    try {
        TFileSave save(fileName, TFileSave::TWay::ThroughCopy);
        return UniRewriteFile(save, expectedStart, expectedSize, head, keepFrom);
    } catch (const std::exception&) {
        return false;
    }
}

bool UniRewriteFile(TFileSave& save, ByteSpan expectedStart, std::int64_t expectedSize,
                    ByteSpan head, std::int64_t keepFrom) {
    try {
        if (!save.Unchanged(expectedStart, expectedSize)) {
            return false;
        }
        save.Copy().WriteBuffer(head.data(), std::ssize(head));
        save.CopyRest(keepFrom);
        save.Commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool UniWriteInPlace(const std::u16string& fileName, ByteSpan expectedStart,
                     std::int64_t expectedSize, ByteSpan bytes) {
    try {
        TFileSave save(fileName, TFileSave::TWay::InPlace);
        return UniWriteInPlace(save, expectedStart, expectedSize, bytes);
    } catch (const std::exception&) {
        return false;
    }
}

bool UniWriteInPlace(TFileSave& save, ByteSpan expectedStart, std::int64_t expectedSize,
                     ByteSpan bytes) {
    try {
        TTntFileStream& file = save.File();
        if (!save.Unchanged(expectedStart, expectedSize)) {
            return false;
        }
        Bytes old(bytes.size());
        file.ReadBuffer(old.data(), std::ssize(old));
        try {
            file.SetPosition(0);
            file.WriteBuffer(bytes.data(), std::ssize(bytes));
            save.Commit();
        } catch (const std::exception&) {
            file.SetPosition(0);
            file.Write(old.data(), std::ssize(old));
            return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
