#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

class TForm1;
class TPlaylist;

// The player on the session bus as an MPRIS2 media player, so media keys and the desktop's media
// controls work. This object is exported at /org/mpris/MediaPlayer2 and carries the two adaptors,
// TMprisRoot and TMprisPlayer. Loop back and the volume are the playlist's: they are read from it
// and set in it, and the window shows them as after a click. The transport runs the window's own
// handlers, the ones its buttons run, so the window shows the same texts, glyphs and marks.
// Changes are announced when the playlist, the window's play state or the device says they
// happened; nothing is polled.
//
// Commands are queued and run on the next turn of the event loop through the general error
// handler: the D-Bus caller gets its answer at once, and a message box an error brings up does
// not hold the bus call open.
class TMprisService : public QObject {
    Q_OBJECT
public:
    static QString DefaultServiceName() { return QStringLiteral("org.mpris.MediaPlayer2.tovra3"); }
    static QString ObjectPath() { return QStringLiteral("/org/mpris/MediaPlayer2"); }
    // The desktop entry's name without ".desktop".
    static QString DesktopEntry() { return QStringLiteral("id.korvi.Tovra3"); }

    // Registers at once. When the name is taken, the MPRIS form "<name>.instance<pid>" is used;
    // with no session bus nothing is registered and the player works as before.
    explicit TMprisService(TForm1& form, QString serviceName = DefaultServiceName(),
                           QDBusConnection connection = QDBusConnection::sessionBus());
    ~TMprisService() override;

    TMprisService(const TMprisService&) = delete;
    TMprisService& operator=(const TMprisService&) = delete;

    bool Registered() const { return registered_; }
    // The bus name held; empty when not registered.
    const QString& ServiceName() const { return serviceName_; }
    TForm1& Form() const { return form_; }
    TPlaylist& Playlist() const { return playlist_; }

    // Runs a handler of the window on the next event-loop turn, through guarded(), then announces
    // the properties it changed.
    void Run(std::function<void()> handler);

    // The Player interface's properties as the window and its device show them now.
    QString PlaybackStatus() const;
    QString LoopStatus() const;  // "Playlist" or "None", from the playlist's loop back
    QVariantMap Metadata() const;
    double Volume() const;       // the playlist's 0..1000 as 0.0..1.0
    qlonglong Position() const;  // microseconds
    bool CanGoNext() const;
    bool CanPlay() const;
    bool CanPause() const;

    // Sends PropertiesChanged for every Player property whose value moved since the last call.
    void AnnounceChanges();

private:
    QVariantMap PlayerProperties() const;
    // One announcement on the next event-loop turn for however many changes come before it, so
    // a change is announced once the step that made it is complete.
    void AnnounceSoon();

    TForm1& form_;
    TPlaylist& playlist_;
    QDBusConnection connection_;
    QString serviceName_;
    bool registered_ = false;
    bool announcing_ = false;
    QVariantMap announced_;
};
