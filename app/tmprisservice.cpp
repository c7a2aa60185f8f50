#include "app/tmprisservice.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <QUrl>

#include <utility>

#include "app/tform1.h"
#include "app/tmprisplayer.h"
#include "app/tmprisroot.h"
#include "app/tplaylist.h"
#include "platform/tapplication.h"

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

}  // namespace

TMprisService::TMprisService(TForm1& form, QString serviceName, QDBusConnection connection)
    : QObject(&form), form_(form), playlist_(*form.Playlist), connection_(std::move(connection)) {
    // The adaptors are children of this object and exported with it.
    new TMprisRoot(this);
    new TMprisPlayer(this);
    if (!connection_.isConnected() ||
        !connection_.registerObject(ObjectPath(), this, QDBusConnection::ExportAdaptors)) {
        return;
    }
    const QString fallback = serviceName + QStringLiteral(".instance") +
                             QString::number(QCoreApplication::applicationPid());
    for (const QString& name : {serviceName, fallback}) {
        if (connection_.registerService(name)) {
            serviceName_ = name;
            registered_ = true;
            break;
        }
    }
    if (!registered_) {
        connection_.unregisterObject(ObjectPath());
        return;
    }
    announced_ = PlayerProperties();
    for (const auto change :
         {&TPlaylist::RowsInserted, &TPlaylist::RowsRemoved, &TPlaylist::WasReset}) {
        connect(&playlist_, change, this, &TMprisService::AnnounceSoon);
    }
    connect(&playlist_, &TPlaylist::CurrentIndexChanged, this, &TMprisService::AnnounceSoon);
    connect(&playlist_, &TPlaylist::LoopBackChanged, this, &TMprisService::AnnounceSoon);
    connect(&playlist_, &TPlaylist::VolumeChanged, this, &TMprisService::AnnounceSoon);
    connect(&form_, &TForm1::PlayStateChanged, this, &TMprisService::AnnounceSoon);
    // The end of a track, or an error, stops the device before the window moves on.
    if (form_.MediaPlayer != nullptr) {
        connect(form_.MediaPlayer, &TMediaPlayer::Notify, this, &TMprisService::AnnounceSoon);
    }
}

TMprisService::~TMprisService() {
    if (registered_) {
        connection_.unregisterObject(ObjectPath());
        connection_.unregisterService(serviceName_);
    }
}

void TMprisService::Run(std::function<void()> handler) {
    auto run = guarded(std::move(handler), &form_);
    QTimer::singleShot(0, this, [this, run]() mutable {
        run();
        AnnounceChanges();
    });
}

QString TMprisService::PlaybackStatus() const {
    // The device, not the mode label: after a drag of the position thumb the two can differ, and
    // the desktop's play/pause control should show what is heard.
    if (form_.MediaPlayer == nullptr) {
        return QStringLiteral("Stopped");
    }
    switch (form_.MediaPlayer->Mode()) {
        case TMediaPlayer::mpPlaying:
            return QStringLiteral("Playing");
        case TMediaPlayer::mpPaused:
            return QStringLiteral("Paused");
        default:
            return QStringLiteral("Stopped");
    }
}

QString TMprisService::LoopStatus() const {
    return playlist_.LoopBack() ? QStringLiteral("Playlist") : QStringLiteral("None");
}

QVariantMap TMprisService::Metadata() const {
    QVariantMap metadata;
    const QString file = form_.MediaPlayer ? form_.MediaPlayer->FileName() : QString();
    if (file.isEmpty()) {
        metadata.insert(QStringLiteral("mpris:trackid"),
                        QVariant::fromValue(QDBusObjectPath(
                            QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
        return metadata;
    }
    // The entry that plays; object paths take no minus sign, so a stale index counts as 0.
    metadata.insert(
        QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(QStringLiteral("/id/korvi/Tovra3/Track/%1")
                                                .arg(std::max(playlist_.CurrentIndex(), 0)))));
    metadata.insert(QStringLiteral("xesam:title"), TPlaylist::DisplayName(file));
    metadata.insert(QStringLiteral("xesam:url"),
                    QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
    if (form_.MediaPlayer->DeviceId() != 0) {
        metadata.insert(
            QStringLiteral("mpris:length"),
            QVariant::fromValue(static_cast<qlonglong>(form_.MediaPlayer->Length()) * 1000));
    }
    return metadata;
}

double TMprisService::Volume() const {
    return playlist_.Volume() / 1000.0;
}

qlonglong TMprisService::Position() const {
    return form_.MediaPlayer ? static_cast<qlonglong>(form_.MediaPlayer->Position()) * 1000 : 0;
}

bool TMprisService::CanGoNext() const {
    return playlist_.Count() > 0;
}

bool TMprisService::CanPlay() const {
    return playlist_.Count() > 0;
}

bool TMprisService::CanPause() const {
    return form_.MediaPlayer && !form_.MediaPlayer->FileName().isEmpty();
}

QVariantMap TMprisService::PlayerProperties() const {
    // Position is left out: MPRIS clients follow it themselves and get Seeked on jumps.
    return {
        {QStringLiteral("PlaybackStatus"), PlaybackStatus()},
        {QStringLiteral("LoopStatus"), LoopStatus()},
        {QStringLiteral("Metadata"), Metadata()},
        {QStringLiteral("Volume"), Volume()},
        {QStringLiteral("CanGoNext"), CanGoNext()},
        {QStringLiteral("CanGoPrevious"), CanGoNext()},
        {QStringLiteral("CanPlay"), CanPlay()},
        {QStringLiteral("CanPause"), CanPause()},
    };
}

void TMprisService::AnnounceSoon() {
    if (announcing_) {
        return;
    }
    announcing_ = true;
    QTimer::singleShot(0, this, [this] {
        announcing_ = false;
        AnnounceChanges();
    });
}

void TMprisService::AnnounceChanges() {
    if (!registered_) {
        return;
    }
    const QVariantMap now = PlayerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (announced_.value(it.key()) != it.value()) {
            changed.insert(it.key(), it.value());
        }
    }
    announced_ = now;
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(ObjectPath(), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    connection_.send(signal);
}
