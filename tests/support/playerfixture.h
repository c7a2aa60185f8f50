#pragma once

// A player window on Qt's offscreen platform, running in a temporary program folder with the
// glyphs in "Tombol" (also those drawn at twice the size) and its device playing into fakesink;
// message boxes are recorded. The tests of the window, of its bus interface and of hostile
// inputs share it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "app/tform1.h"
#include "tests/support/eventloop.h"
#include "tests/support/messagecapture.h"
#include "tests/support/qfilebytes.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/silentwav.h"

inline QString MediaFile(const char* name) {
    return QStringLiteral(TOVRA_SOURCE_DIR "/tests/data/media/") + QString::fromUtf8(name);
}

class PlayerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Tombol")));
        for (const char* glyph : {"play1.bmp", "play2.bmp", "pause1.bmp", "pause2.bmp", "stop.bmp",
                                  "stop1.bmp", "play1@2x.bmp", "play2@2x.bmp", "pause1@2x.bmp",
                                  "pause2@2x.bmp", "stop@2x.bmp", "stop1@2x.bmp"}) {
            const QString name = QString::fromUtf8(glyph);
            ASSERT_TRUE(QFile::copy(QStringLiteral(TOVRA_SOURCE_DIR "/assets/Tombol/") + name,
                                    Path(QStringLiteral("Tombol/") + name)));
        }
    }

    void TearDown() override { form.reset(); }

    QString Path(const QString& name) const { return dir.filePath(name); }

    void Write(const QString& name, const QByteArray& data) {
        ASSERT_TRUE(WriteQFile(Path(name), data)) << name.toStdString();
    }

    QByteArray Read(const QString& name) const {
        return QFile::exists(Path(name)) ? ReadQFile(Path(name)) : QByteArray("<missing>");
    }

    // The three text files: the playlist of the given media files and the settings lines.
    void WriteState(const std::vector<const char*>& media, const QByteArray& settings) {
        QByteArray paths;
        QByteArray names;
        for (const char* name : media) {
            const QString path = name[0] == '/' ? QString::fromUtf8(name) : MediaFile(name);
            paths += path.toUtf8() + "\r\n";
            names += path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toUtf8() + "\r\n";
        }
        Write(QStringLiteral("PlayList.Txt"), paths);
        Write(QStringLiteral("KorviList.Txt"), names);
        Write(QStringLiteral("KorviSetting.Korvi"), settings);
    }

    // A silent WAV file of the given length in the program folder; its path.
    QByteArray LongWav(int seconds = 30) {
        Write(QStringLiteral("long.wav"), SilentWav(seconds));
        return Path(QStringLiteral("long.wav")).toUtf8();
    }

    // audioSink: where the device plays its sound, as gst-launch describes an element.
    TForm1& Create(const QString& audioSink = QStringLiteral("fakesink sync=true")) {
        form =
            std::make_unique<TForm1>(dir.path(), audioSink, QStringLiteral("fakesink sync=true"));
        return *form;
    }

    TForm1& Start(const QString& audioSink = QStringLiteral("fakesink sync=true")) {
        Create(audioSink).show();
        return *form;
    }

    QStringList Texts() const { return messages.Texts(); }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    TMessageCapture messages;
    std::vector<TApplication::MessageRequest>& shown = messages.Requests;
};
