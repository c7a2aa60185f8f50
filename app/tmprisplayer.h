#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>

class TMprisService;

// org.mpris.MediaPlayer2.Player: the transport, mapped onto the player window's buttons, and loop
// back and the volume, the playlist's. Seeking is not offered (CanSeek is false): the position
// slider seeks only by a drag, which pauses and resumes the device, and no remote call can stand
// for that.
class TMprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoNext)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit TMprisPlayer(TMprisService* service);

    QString PlaybackStatus() const;
    // "Playlist" while loop back (LB) is checked, else "None". "Track" is not offered and is
    // ignored.
    QString LoopStatus() const;
    void SetLoopStatus(const QString& status);
    double Rate() const { return 1.0; }
    void SetRate(double) {}  // the device plays at normal speed only
    QVariantMap Metadata() const;
    double Volume() const;
    // Sets the playlist's volume, which the window's slider then shows and the device takes, as
    // after a drag of the thumb: 0.0..1.0 onto 0..1000.
    void SetVolume(double volume);
    qlonglong Position() const;
    bool CanGoNext() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool CanSeek() const { return false; }
    bool CanControl() const { return true; }

public slots:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
    // A local file is added as if it were dropped on the playlist.
    void OpenUri(const QString& uri);

signals:
    void Seeked(qlonglong position);

private:
    TMprisService* service_;
};
