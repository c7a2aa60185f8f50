#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLocalSocket;

// How a start with files reaches the copy that already runs: a local socket beside the
// single-instance lock, only the user's own, which works with or without a session bus. The copy
// that holds the lock listens; a later start sends it the files it was given and ends once they
// are taken.
//
// On the socket a start sends one message, a 32-bit big-endian byte count and then the file list
// as a QDataStream QStringList; the running copy answers with one byte once it has taken the list.
class TInstanceChannel : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(const QStringList& files)>;

    // "<lock file without .lock>.socket", beside the lock.
    static QString SocketName(const QString& lockFileName);

    // The files a start names on its command line. A path counts from the folder the start was
    // made in and is made absolute and normal, links kept; a file: URI names its local file.
    // Other URIs are left out, as a drop on the playlist leaves them out.
    static QStringList LocalFiles(const QStringList& arguments, const QString& currentDir);

    explicit TInstanceChannel(QString socketName, QObject* parent = nullptr);
    ~TInstanceChannel() override;
    TInstanceChannel(const TInstanceChannel&) = delete;
    TInstanceChannel& operator=(const TInstanceChannel&) = delete;

    const QString& SocketName() const { return socketName_; }

    // The copy that runs, holding the lock: listens for later starts. A socket left by a copy
    // that ended is replaced. False when it can't listen; the copy then runs without it.
    bool Listen();

    // Each list received goes to the receiver on a later turn of the event loop, in order,
    // through the general error handler, as long as the context object lives. Lists that came
    // before a receiver was set wait for it.
    void SetReceiver(QObject* context, Receiver receiver);

    // A start that found the lock taken: sends the files and waits for the running copy to take
    // them. False when no copy listens, the socket isn't the user's own, or no answer comes in
    // time.
    static bool Send(const QString& socketName, const QStringList& files, int answerMs = 10000);

    // A start that found the lock taken: with arguments, their files go to the copy that runs
    // (true: the start ends quietly). Without arguments, or when that copy doesn't take them, the
    // single instance's refusal box is shown (false).
    static bool HandOverOrRefuse(const QString& socketName, const QStringList& arguments,
                                 const QString& currentDir);

private:
    void Read(QLocalSocket* socket);
    void Deliver(const QStringList& files);

    QString socketName_;
    QLocalServer* server_ = nullptr;
    QObject* context_ = nullptr;
    Receiver receiver_;
    QList<QStringList> waiting_;
};
