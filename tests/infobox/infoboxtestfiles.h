#pragma once

// What the info-box tests share: real test files copied into a temporary folder before any
// write; the message boxes a user would have seen are caught by tests/support/messagecapture.h.

#include "tests/support/messagecapture.h"
#include "tests/support/qfilebytes.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A test file under tests/data.
inline QString DataFile(const char* relative) {
    return QStringLiteral(TOVRA_SOURCE_DIR "/tests/data/") + QString::fromUtf8(relative);
}

class TTempFiles {
public:
    // Copies tests/data/<relative> into the folder (under subFolder, made when missing) as name.
    QString Copy(const char* relative, const QString& name, const QString& subFolder = QString()) {
        const QString folder = subFolder.isEmpty() ? dir_.path() : dir_.filePath(subFolder);
        QDir().mkpath(folder);
        const QString target = folder + QLatin1Char('/') + name;
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(DataFile(relative), target)) << relative;
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};
