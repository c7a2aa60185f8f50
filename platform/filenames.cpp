#include "platform/filenames.h"

#include "tags/textcodec.h"

#include <dirent.h>

#include <QFile>
#include <QStringList>

#include <memory>
#include <string>

namespace {

constexpr QChar kReplacement = QChar(0xFFFD);

// The entries of a folder (its name as the kernel takes it) that Qt shows as `shown`.
QList<QByteArray> EntriesShownAs(const QByteArray& folder, const QString& shown) {
    QList<QByteArray> found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        ::opendir(folder.isEmpty() ? "/" : folder.constData()), ::closedir);
    if (!dir) {
        return found;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (QFile::decodeName(name) == shown) {
            found << name;
        }
    }
    return found;
}

}  // namespace

QString NameFromNative(const QByteArray& bytes) {
    return QString::fromStdU16String(NativeToUtf16(std::string_view(bytes.data(), bytes.size())));
}

bool NativeFromName(const QString& name, QByteArray& bytes) {
    std::string native;
    if (!Utf16ToNative(name.toStdU16String(), native)) {
        return false;
    }
    bytes = QByteArray(native.data(), static_cast<qsizetype>(native.size()));
    return true;
}

QByteArray NativeOrText(const QString& name) {
    QByteArray bytes;
    if (!NativeFromName(name, bytes)) {
        bytes = name.toUtf8();
    }
    return bytes;
}

QString NameFromUrl(const QUrl& url) {
    if (!url.isLocalFile()) {
        return {};
    }
    // The path's percent escapes hold the name's own bytes, which toLocalFile() would decode
    // with U+FFFD.
    return NameFromNative(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QString NameFromDialog(const QString& chosen) {
    if (!chosen.contains(kReplacement)) {
        return chosen;
    }
    const QStringList parts = chosen.split(QLatin1Char('/'));
    QByteArray path;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QByteArray bytes;
        if (part.contains(kReplacement)) {
            const QList<QByteArray> found = EntriesShownAs(path, part);
            if (found.size() != 1) {
                return {};
            }
            bytes = found.front();
        } else if (!NativeFromName(part, bytes)) {
            return {};
        }
        path += (i == 0 ? QByteArray() : QByteArrayLiteral("/")) + bytes;
    }
    return NameFromNative(path);
}
