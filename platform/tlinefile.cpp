#include "platform/tlinefile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tags/efileerror.h"

namespace {

// Lines are read and written in blocks of this size.
constexpr qint64 kBlock = 64 * 1024;

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void FailOpen(const QString& path, const QString& reason) {
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2")
                          .arg(QFileInfo(path).absoluteFilePath(), reason)
                          .toStdString());
}

[[noreturn]] void FailCreate(const QString& path, const QString& reason) {
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(QFileInfo(path).absoluteFilePath(), reason)
                            .toStdString());
}

}  // namespace

void TLineFile::Read(const QString& path, const std::function<void(std::string_view)>& addLine) {
    if (QFileInfo(path).isDir()) {
        FailOpen(path, SystemReason(EISDIR));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FailOpen(path, file.errorString());
    }
    std::string pending;   // the start of a line that goes on in the next block
    bool afterCr = false;  // the last block ended in CR: an LF first in this one belongs to it
    std::string block(kBlock, '\0');
    for (;;) {
        const qint64 got = file.read(block.data(), kBlock);
        if (got < 0) {
            throw EReadError("Stream read error");
        }
        if (got == 0) {
            break;
        }
        const std::string_view bytes(block.data(), static_cast<std::size_t>(got));
        std::size_t start = afterCr && bytes.front() == '\n' ? 1 : 0;
        afterCr = false;
        for (std::size_t i = start; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c != '\r' && c != '\n') {
                continue;
            }
            if (pending.empty()) {
                addLine(bytes.substr(start, i - start));
            } else {
                pending.append(bytes.substr(start, i - start));
                addLine(pending);
                pending.clear();
            }
            if (c == '\r') {
                if (i + 1 == bytes.size()) {
                    afterCr = true;
                } else if (bytes[i + 1] == '\n') {
                    ++i;
                }
            }
            start = i + 1;
        }
        pending.append(bytes.substr(start));
    }
    if (!pending.empty()) {
        addLine(pending);
    }
}

TLineFile::TLineFile(const QString& path) : file_(path) {
    const QFileInfo target(path);
    if (target.isDir()) {
        FailCreate(path, SystemReason(EISDIR));
    }
    if (target.exists() && !target.isWritable()) {
        FailCreate(path, SystemReason(EACCES));
    }
    // In a folder we may not create files in, an existing file is rewritten in place.
    file_.setDirectWriteFallback(true);
    if (!file_.open(QIODevice::WriteOnly)) {
        FailCreate(path, file_.errorString());
    }
    block_.reserve(kBlock);
}

void TLineFile::Add(std::string_view line) {
    const std::size_t at = block_.size();
    block_.append(line);
    if (line.find_first_of("\r\n") != std::string_view::npos) {
        std::replace_if(
            block_.begin() + static_cast<std::ptrdiff_t>(at), block_.end(),
            [](char c) { return c == '\r' || c == '\n'; }, '?');
    }
    block_.append("\r\n");
    if (block_.size() >= static_cast<std::size_t>(kBlock)) {
        Flush();
    }
}

void TLineFile::Flush() {
    const auto size = static_cast<qint64>(block_.size());
    if (file_.write(block_.data(), size) != size) {
        throw EWriteError("Stream write error");
    }
    block_.clear();
}

void TLineFile::Commit() {
    Flush();
    if (!file_.commit()) {
        throw EWriteError("Stream write error");
    }
}
