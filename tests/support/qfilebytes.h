#pragma once

// Whole-file reads and writes of bytes for the tests that work with Qt's strings.

#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or empty when it cannot be read.
inline QByteArray ReadQFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// False when the file could not be written whole.
inline bool WriteQFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}
