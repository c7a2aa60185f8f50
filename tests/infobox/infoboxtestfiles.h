#pragma once

// What the info-box tests share: real test files copied into a temporary folder before any
// write, and the message boxes a user would have seen, caught instead of shown.

#include "platform/tapplication.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <vector>

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

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Catches every message box for the life of the object.
class TMessageCapture {
public:
    TMessageCapture() {
        previous_ = TApplication::instance().setPresenter(
            [this](const TApplication::MessageRequest& request) {
                Requests.push_back(request);
                return QMessageBox::Ok;
            });
    }
    ~TMessageCapture() { TApplication::instance().setPresenter(previous_); }
    TMessageCapture(const TMessageCapture&) = delete;
    TMessageCapture& operator=(const TMessageCapture&) = delete;

    std::vector<QString> Texts() const {
        std::vector<QString> texts;
        for (const auto& request : Requests) {
            texts.push_back(request.text);
        }
        return texts;
    }

    std::vector<TApplication::MessageRequest> Requests;

private:
    TApplication::Presenter previous_;
};
