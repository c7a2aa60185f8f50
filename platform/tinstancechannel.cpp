#include "platform/tinstancechannel.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/filenames.h"
#include "platform/tapplication.h"
#include "platform/tsingleinstance.h"

namespace {

// A command line holds at most a few MiB; anything longer is no start of ours.
constexpr quint32 kMaxMessage = 16u << 20;
// How long a start looks for the socket: the copy that holds the lock listens a moment later.
constexpr int kConnectMs = 1000;
constexpr char kTaken = 'A';

QDataStream::Version StreamVersion() {
    return QDataStream::Qt_6_0;
}

// The temporary folder is shared: file names go only to a socket of the user's own.
bool OwnSocket(const QString& name) {
    struct stat status {};
    return ::lstat(QFile::encodeName(name).constData(), &status) == 0 && S_ISSOCK(status.st_mode) &&
           status.st_uid == ::getuid();
}

int Remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(deadline.remainingTime());
}

}  // namespace

QString TInstanceChannel::SocketName(const QString& lockFileName) {
    QString name = lockFileName;
    if (name.endsWith(QLatin1String(".lock"))) {
        name.chop(5);
    }
    return name + QStringLiteral(".socket");
}

QStringList TInstanceChannel::LocalFiles(const QStringList& arguments, const QString& currentDir) {
    // A scheme of two letters or more before ":/"; anything else is a path.
    const QRegularExpression uri(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:/"));
    const QDir base(currentDir);
    QStringList files;
    for (const QString& argument : arguments) {
        if (argument.isEmpty()) {
            continue;
        }
        if (!uri.match(argument).hasMatch()) {
            files << QDir::cleanPath(base.absoluteFilePath(argument));
            continue;
        }
        QUrl url(argument);
        if (!url.isLocalFile()) {
            continue;
        }
        if (url.host() == QLatin1String("localhost")) {
            url.setHost(QString());
        }
        files << NameFromUrl(url);
    }
    return files;
}

TInstanceChannel::TInstanceChannel(QString socketName, QObject* parent)
    : QObject(parent), socketName_(std::move(socketName)) {}

TInstanceChannel::~TInstanceChannel() = default;

bool TInstanceChannel::Listen() {
    if (server_ != nullptr) {
        return server_->isListening();
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // This copy holds the lock, so a socket under the name was left by one that has ended.
    QLocalServer::removeServer(socketName_);
    if (!server_->listen(socketName_)) {
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
            Read(socket);
        }
    });
    return true;
}

void TInstanceChannel::Read(QLocalSocket* socket) {
    if (socket->bytesAvailable() < 4) {
        return;
    }
    const QByteArray head = socket->peek(4);
    const quint32 size = qFromBigEndian<quint32>(head.constData());
    if (size > kMaxMessage) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < 4 + qint64(size)) {
        return;
    }
    socket->skip(4);
    const QByteArray payload = socket->read(size);
    // The list's count comes first; each string takes at least its own 4-byte length, so a
    // count the message has no room for is refused before the stream reserves room for it.
    if (payload.size() < 4 || qFromBigEndian<quint32>(payload.constData()) > quint32(size / 4)) {
        socket->abort();
        return;
    }
    QStringList files;
    QDataStream in(payload);
    in.setVersion(StreamVersion());
    in >> files;
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        socket->abort();
        return;
    }
    // One message per start; the socket closes once the answer is out.
    disconnect(socket, nullptr, this, nullptr);
    socket->write(&kTaken, 1);
    socket->disconnectFromServer();
    Deliver(files);
}

void TInstanceChannel::Deliver(const QStringList& files) {
    if (!receiver_) {
        waiting_.append(files);
        return;
    }
    auto deliver = guarded([receiver = receiver_, files] { receiver(files); });
    QTimer::singleShot(0, context_, [deliver]() mutable { deliver(); });
}

void TInstanceChannel::SetReceiver(QObject* context, Receiver receiver) {
    context_ = context;
    receiver_ = std::move(receiver);
    const QList<QStringList> waiting = std::exchange(waiting_, {});
    for (const QStringList& files : waiting) {
        Deliver(files);
    }
}

bool TInstanceChannel::Send(const QString& socketName, const QStringList& files, int answerMs) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(StreamVersion());
        out << files;
    }
    if (payload.size() > qsizetype(kMaxMessage)) {
        return false;
    }
    QByteArray message(4, '\0');
    qToBigEndian<quint32>(quint32(payload.size()), message.data());
    message += payload;

    QLocalSocket socket;
    const QDeadlineTimer connectDeadline(kConnectMs);
    for (;;) {
        if (OwnSocket(socketName)) {
            socket.connectToServer(socketName);
            if (socket.waitForConnected(Remaining(connectDeadline))) {
                break;
            }
            socket.abort();
        }
        if (connectDeadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }

    // The copy that runs may be busy starting up or opening a file; it answers from its event
    // loop.
    const QDeadlineTimer answer(answerMs);
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(Remaining(answer))) {
            return false;
        }
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(Remaining(answer))) {
            return false;
        }
    }
    char taken = 0;
    return socket.read(&taken, 1) == 1 && taken == kTaken;
}

bool TInstanceChannel::HandOverOrRefuse(const QString& socketName, const QStringList& arguments,
                                        const QString& currentDir) {
    if (!arguments.isEmpty() && Send(socketName, LocalFiles(arguments, currentDir))) {
        return true;
    }
    TSingleInstance::ShowRefusal();
    return false;
}
