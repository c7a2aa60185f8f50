#pragma once

// A player window on Qt's offscreen platform, running in a temporary program folder with the
// glyphs in "Tombol" (also those drawn at twice the size) and its device playing into fakesink;
// message boxes are recorded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

#include "app/tform1.h"
#include "platform/tapplication.h"

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends; the windows of every test share it.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

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
        previous = TApplication::instance().setPresenter(
            [this](const TApplication::MessageRequest& request) {
                shown.push_back(request);
                return QMessageBox::Ok;
            });
    }

    void TearDown() override {
        form.reset();
        TApplication::instance().setPresenter(previous);
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    void Write(const QString& name, const QByteArray& data) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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

    // A silent WAV file of the given length in the program folder (8 kHz, 8-bit mono), for tests
    // that need a track to go on playing however slowly the machine runs.
    QByteArray LongWav(int seconds = 30) {
        const quint32 bytes = quint32(seconds) * 8000;
        QByteArray data("RIFF");
        const auto le32 = [&data](quint32 v) {
            for (int i = 0; i < 4; ++i) {
                data += char((v >> (8 * i)) & 0xFF);
            }
        };
        le32(36 + bytes);
        data += "WAVEfmt ";
        le32(16);
        data += QByteArray("\x01\x00\x01\x00", 4);  // PCM, mono
        le32(8000);                                 // samples per second
        le32(8000);                                 // bytes per second
        data += QByteArray("\x01\x00\x08\x00", 4);  // block align 1, 8 bits
        data += "data";
        le32(bytes);
        data += QByteArray(int(bytes), char(0x80));
        Write(QStringLiteral("long.wav"), data);
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

    // Runs the event loop until the condition holds; false if it still doesn't after a
    // generous bound (a hang guard, not a measure of speed).
    static bool WaitFor(const std::function<bool()>& condition, int boundMs = 30000) {
        QDeadlineTimer deadline(boundMs);
        while (!condition()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    QStringList Texts() const {
        QStringList texts;
        for (const auto& request : shown) {
            texts << request.text;
        }
        return texts;
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    std::vector<TApplication::MessageRequest> shown;
    TApplication::Presenter previous;
};
