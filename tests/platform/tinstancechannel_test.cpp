#include "platform/tinstancechannel.h"
#include "platform/tsingleinstance.h"
#include "tests/support/helperprocess.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

QString Refusal() {
    return QStringLiteral("Tovra3|%1|Aplikasi Tovra III [Velmo History] Sudah Berjalan! ")
        .arg(int(QMessageBox::Critical));
}

// The copy that runs: it holds the lock in a runtime folder of its own and, when listening,
// collects the lists later starts hand it.
struct RunningCopy {
    explicit RunningCopy(bool listening)
        : lock(runtime.filePath(QStringLiteral("Tovra3.lock"))),
          channel(TInstanceChannel::SocketName(runtime.filePath(QStringLiteral("Tovra3.lock")))) {
        TestApplication();
        EXPECT_TRUE(lock.Acquire());
        if (listening) {
            EXPECT_TRUE(channel.Listen());
        }
        channel.SetReceiver(&context, [this](const QStringList& files) { received << files; });
    }

    // A later start, made in the folder dir with these arguments.
    HelperResult Start(const QStringList& arguments, const QString& dir) {
        HelperResult result =
            RunHelper(QStringLiteral(TOVRA_PROGRAM_DIR "/single_instance_helper"), arguments,
                      {QStringLiteral("XDG_RUNTIME_DIR"), runtime.path()}, dir);
        QCoreApplication::processEvents();  // the lists reach the receiver on a later turn
        return result;
    }

    QTemporaryDir runtime;
    TSingleInstance lock;
    QObject context;
    TInstanceChannel channel;
    QList<QStringList> received;
};

TEST(TInstanceChannelTest, ArgumentsNameLocalFilesAsADropWould) {
    const struct {
        QString argument;
        QStringList files;  // in the folder /home/user/Music
    } cases[] = {
        {QStringLiteral("song.mp3"), {QStringLiteral("/home/user/Music/song.mp3")}},
        {QStringLiteral("../Video/./a b.avi"), {QStringLiteral("/home/user/Video/a b.avi")}},
        {QStringLiteral("/tmp/x.wav"), {QStringLiteral("/tmp/x.wav")}},
        {QStringLiteral("file:///tmp/a%20b%23.mp3"), {QStringLiteral("/tmp/a b#.mp3")}},
        {QStringLiteral("file://localhost/tmp/c.wma"), {QStringLiteral("/tmp/c.wma")}},
        {QStringLiteral("FILE:/tmp/d.mid"), {QStringLiteral("/tmp/d.mid")}},
        {QStringLiteral("http://host/e.mp3"), {}},
        {QStringLiteral("sftp://host/f.mp3"), {}},
        {QStringLiteral("track:2.mp3"), {QStringLiteral("/home/user/Music/track:2.mp3")}},
        {QString(), {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TInstanceChannel::LocalFiles({c.argument}, QStringLiteral("/home/user/Music")),
                  c.files)
            << c.argument.toStdString();
    }
}

TEST(TInstanceChannelTest, StartWithFilesHandsThemOverElseIsRefused) {
    QTemporaryDir work;
    const QString missing = work.filePath(QStringLiteral("missing.mp3"));
    const struct {
        const char* what;
        bool listening;
        QStringList arguments;
        int exitCode;
        QString output;
        QList<QStringList> received;
    } cases[] = {
        {"files",
         true,
         {QStringLiteral("missing.mp3"), QStringLiteral("file:///tmp/t%C3%B6ne.wav")},
         0,
         QString(),
         {{missing, QStringLiteral("/tmp/t\u00f6ne.wav")}}},
        {"no files", true, {}, 1, Refusal(), {}},
        {"nobody listens", false, {QStringLiteral("missing.mp3")}, 1, Refusal(), {}},
    };
    for (const auto& c : cases) {
        RunningCopy running(c.listening);
        const HelperResult result = running.Start(c.arguments, work.path());
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what;
        EXPECT_EQ(result.output, c.output) << c.what;
        EXPECT_EQ(running.received, c.received) << c.what;
    }
}

TEST(TInstanceChannelTest, DamagedMessagesAreDroppedAndTheNextStartIsServed) {
    const auto message = [](quint32 size, const QByteArray& body) {
        QByteArray bytes(4, '\0');
        qToBigEndian(size, bytes.data());
        return bytes + body;
    };
    const QByteArray cases[] = {
        message(0xFFFFFFFFu, {}),                       // longer than any command line
        message(4, QByteArray("\x7F\xFF\xFF\xFF", 4)),  // a count without room
        message(8, QByteArray("\x00\x00\x00\x01\x00\x00\x00\x03", 8)),  // an odd string length
        message(5, QByteArray("\x00\x00\x00\x00\x00", 5)),              // bytes after the list
    };
    RunningCopy running(true);
    for (const QByteArray& bytes : cases) {
        QLocalSocket socket;
        socket.connectToServer(running.channel.SocketName());
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write(bytes);
        QDeadlineTimer bound(10000);
        while (socket.state() != QLocalSocket::UnconnectedState && !bound.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState) << bytes.toHex().constData();
        EXPECT_EQ(socket.bytesAvailable(), 0) << "no answer to a damaged message";
    }
    EXPECT_TRUE(running.received.isEmpty());
    EXPECT_EQ(running.Start({QStringLiteral("/a.wav")}, QString()).exitCode, 0);
    EXPECT_EQ(running.received, QList<QStringList>{{QStringLiteral("/a.wav")}});
}

}  // namespace
