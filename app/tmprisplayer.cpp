#include "app/tmprisplayer.h"

#include <QUrl>

#include <algorithm>
#include <cmath>

#include "app/tform1.h"
#include "app/tmprisservice.h"
#include "app/tplaylist.h"
#include "platform/filenames.h"

TMprisPlayer::TMprisPlayer(TMprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QString TMprisPlayer::PlaybackStatus() const {
    return service_->PlaybackStatus();
}

QString TMprisPlayer::LoopStatus() const {
    return service_->LoopStatus();
}

void TMprisPlayer::SetLoopStatus(const QString& status) {
    if (status != QLatin1String("Playlist") && status != QLatin1String("None")) {
        return;
    }
    TPlaylist& playlist = service_->Playlist();
    const bool loop = status == QLatin1String("Playlist");
    service_->Run([&playlist, loop] { playlist.SetLoopBack(loop); });
}

QVariantMap TMprisPlayer::Metadata() const {
    return service_->Metadata();
}

double TMprisPlayer::Volume() const {
    return service_->Volume();
}

void TMprisPlayer::SetVolume(double volume) {
    // NaN counts as silence; the slider's change handler runs only when its value moves.
    const int value =
        std::isnan(volume) ? 0 : static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 1000));
    TPlaylist& playlist = service_->Playlist();
    service_->Run([&playlist, value] { playlist.SetVolume(value); });
}

qlonglong TMprisPlayer::Position() const {
    return service_->Position();
}

bool TMprisPlayer::CanGoNext() const {
    return service_->CanGoNext();
}

bool TMprisPlayer::CanPlay() const {
    return service_->CanPlay();
}

bool TMprisPlayer::CanPause() const {
    return service_->CanPause();
}

void TMprisPlayer::Play() {
    TForm1& form = service_->Form();
    service_->Run([&form] { form.BtnPlayClick(); });
}

void TMprisPlayer::Pause() {
    TForm1& form = service_->Form();
    service_->Run([&form] { form.btnpauseClick(); });
}

void TMprisPlayer::PlayPause() {
    // Play resumes a paused track and starts a stopped one; Pause pauses a playing one.
    TForm1& form = service_->Form();
    service_->Run([&form] {
        if (form.MediaPlayer->Mode() == TMediaPlayer::mpPlaying) {
            form.btnpauseClick();
        } else {
            form.BtnPlayClick();
        }
    });
}

void TMprisPlayer::Stop() {
    TForm1& form = service_->Form();
    service_->Run([&form] { form.btnstopClick(); });
}

void TMprisPlayer::Next() {
    TForm1& form = service_->Form();
    service_->Run([&form] { form.btnnextClick(); });
}

void TMprisPlayer::Previous() {
    TForm1& form = service_->Form();
    service_->Run([&form] { form.btnprevClick(); });
}

void TMprisPlayer::Seek(qlonglong) {}

void TMprisPlayer::SetPosition(const QDBusObjectPath&, qlonglong) {}

void TMprisPlayer::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (!url.isLocalFile()) {
        return;
    }
    TForm1& form = service_->Form();
    const QString path = NameFromUrl(url);
    service_->Run([&form, path] {
        bool accept = true;
        form.List2FileDropped(form.List2, path, accept);
    });
}
