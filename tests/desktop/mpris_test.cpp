// The player on a real session bus: a second connection, and dbus-send as a program of its own,
// drive it as the desktop's media controls do, and the window must show what its buttons show.
// ctest runs this under dbus-run-session, so every test program has a bus of its own.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QUrl>

#include <memory>
#include <ostream>
#include <string>

#include "app/tmprisservice.h"
#include "tests/support/playerfixture.h"
#include "tests/support/playerrow.h"

namespace {

const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// What the window and the bus show: the transport row, the current entry and the bus's
// PlaybackStatus.
struct Shown {
    TPlayerRow row;
    int index = 0;
    std::string status;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
    PrintTo(s.row, os);
    *os << " index " << s.index << ' ' << s.status;
}

}  // namespace

// Collects the Player interface's PropertiesChanged signals.
class PropertiesWatcher : public QObject {
    Q_OBJECT
public:
    QStringList interfaces;
    QStringList statuses;
    QStringList titles;

public slots:
    void Receive(const QDBusMessage& message) {
        const QVariantList arguments = message.arguments();
        if (arguments.size() != 3) {
            return;
        }
        interfaces << arguments.at(0).toString();
        const QVariantMap changed = qdbus_cast<QVariantMap>(arguments.at(1));
        if (changed.contains(QStringLiteral("PlaybackStatus"))) {
            statuses << changed.value(QStringLiteral("PlaybackStatus")).toString();
        }
        if (changed.contains(QStringLiteral("Metadata"))) {
            titles << qdbus_cast<QVariantMap>(changed.value(QStringLiteral("Metadata")))
                          .value(QStringLiteral("xesam:title"))
                          .toString();
        }
    }
};

class MprisTest : public PlayerFixture {
protected:
    void SetUp() override {
        PlayerFixture::SetUp();
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
            GTEST_SKIP() << "no session bus; run under dbus-run-session";
        }
        client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QDBusConnection::SessionBus, QStringLiteral("mpris-test-client")));
        ASSERT_TRUE(client->isConnected());
    }

    void TearDown() override {
        service.reset();
        PlayerFixture::TearDown();
    }

    // A player with the given silent tracks in its playlist, on the bus.
    void StartWithTracks(const QStringList& names) {
        QByteArray paths;
        QByteArray display;
        for (const QString& name : names) {
            Write(name, SilentWav(60));
            paths += Path(name).toUtf8() + "\r\n";
            display += name.toUtf8() + "\r\n";
        }
        Write(QStringLiteral("PlayList.Txt"), paths);
        Write(QStringLiteral("KorviList.Txt"), display);
        Write(QStringLiteral("KorviSetting.Korvi"), "0\r\n2\r\n1\r\n1000\r\n");
        Start();
        service = std::make_unique<TMprisService>(*form);
        ASSERT_TRUE(service->Registered());
    }

    QDBusMessage Call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            service->ServiceName(), TMprisService::ObjectPath(), interface, method);
        call.setArguments(arguments);
        QDBusPendingCall pending = client->asyncCall(call);
        EXPECT_TRUE(WaitFor([&pending] { return pending.isFinished(); }));
        return pending.reply();
    }

    // Calls a method and lets the queued handler run.
    void Command(const QString& method) {
        const QDBusMessage reply = Call(kPlayer, method);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method.toStdString();
        Settle();
    }

    void Settle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    QVariant Property(const QString& interface, const QString& name) {
        const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return {};
        }
        return reply.arguments().at(0).value<QDBusVariant>().variant();
    }

    QVariantMap Metadata() {
        return qdbus_cast<QVariantMap>(Property(kPlayer, QStringLiteral("Metadata")));
    }

    void SetVolume(double volume) {
        const QDBusMessage reply =
            Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                 {kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(volume))});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        Settle();
    }

    Shown Now() {
        return {TPlayerRow::Of(*form), form->CurrentIndex,
                Property(kPlayer, QStringLiteral("PlaybackStatus")).toString().toStdString()};
    }

    std::unique_ptr<QDBusConnection> client;
    std::unique_ptr<TMprisService> service;
};

TEST_F(MprisTest, TheApplicationDescribesItself) {
    StartWithTracks({QStringLiteral("a.wav")});
    EXPECT_EQ(Property(kRoot, QStringLiteral("Identity")).toString(),
              TApplication::instance().Title().isEmpty() ? QStringLiteral("Tovra III")
                                                         : TApplication::instance().Title());
    EXPECT_EQ(Property(kRoot, QStringLiteral("DesktopEntry")).toString(),
              QStringLiteral("id.korvi.Tovra3"));
    EXPECT_TRUE(Property(kRoot, QStringLiteral("CanQuit")).toBool());
    EXPECT_TRUE(Property(kRoot, QStringLiteral("CanRaise")).toBool());
    EXPECT_FALSE(Property(kRoot, QStringLiteral("HasTrackList")).toBool());
    EXPECT_EQ(Property(kRoot, QStringLiteral("SupportedUriSchemes")).toStringList(),
              QStringList{QStringLiteral("file")});
    EXPECT_TRUE(Property(kPlayer, QStringLiteral("CanControl")).toBool());
    EXPECT_FALSE(Property(kPlayer, QStringLiteral("CanSeek")).toBool());
    EXPECT_TRUE(Property(kPlayer, QStringLiteral("CanPlay")).toBool());
    EXPECT_EQ(Property(kPlayer, QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Stopped"));
}

TEST_F(MprisTest, TransportShowsWhatTheButtonsShow) {
    StartWithTracks({QStringLiteral("a.wav"), QStringLiteral("b.wav"), QStringLiteral("c.wav")});
    const struct {
        const char* method;
        Shown shown;
    } steps[] = {
        {"Play",
         {{"Playing", "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false}, 0, "Playing"}},
        {"Pause",
         {{"Paused", "play1.bmp", "pause2.bmp", "stop.bmp", false, true, false}, 0, "Paused"}},
        {"PlayPause",
         {{"Playing", "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false}, 0, "Playing"}},
        {"PlayPause",
         {{"Paused", "play1.bmp", "pause2.bmp", "stop.bmp", false, true, false}, 0, "Paused"}},
        {"Next",
         {{"Playing", "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false}, 1, "Playing"}},
        {"Next",
         {{"Playing", "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false}, 2, "Playing"}},
        {"Stop",
         {{"Stoped", "play1.bmp", "pause1.bmp", "stop1.bmp", false, false, true}, 2, "Stopped"}},
        {"PlayPause",
         {{"Playing", "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false}, 2, "Playing"}},
        {"Previous",
         {{"Playing", "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false}, 1, "Playing"}},
        // Past the last entry without loop back: stopped on the last entry, as the button does.
        {"Next",
         {{"Playing", "play2.bmp", "pause1.bmp", "stop.bmp", true, false, false}, 2, "Playing"}},
        {"Next",
         {{"Stoped", "play1.bmp", "pause1.bmp", "stop1.bmp", false, false, true}, 2, "Stopped"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.method);
        Command(QString::fromLatin1(step.method));
        EXPECT_EQ(Now(), step.shown);
        EXPECT_EQ(form->Labelnomer->text(), QStringLiteral("[%1]").arg(step.shown.index + 1));
    }
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(MprisTest, MetadataNamesTheLoadedTrack) {
    StartWithTracks({QStringLiteral("Lagu Senja #1.wav"), QStringLiteral("b.wav")});
    // Start-up opens the restored entry without playing it.
    Command(QStringLiteral("Next"));
    const QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("b.wav"));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(),
              QUrl::fromLocalFile(Path(QStringLiteral("b.wav"))).toString(QUrl::FullyEncoded));
    EXPECT_EQ(metadata.value(QStringLiteral("mpris:length")).toLongLong(), 60'000'000);
    EXPECT_EQ(qdbus_cast<QDBusObjectPath>(metadata.value(QStringLiteral("mpris:trackid"))).path(),
              QStringLiteral("/id/korvi/Tovra3/Track/1"));

    Command(QStringLiteral("Previous"));
    const QString url = Metadata().value(QStringLiteral("xesam:url")).toString();
    EXPECT_TRUE(url.startsWith(QStringLiteral("file:///"))) << url.toStdString();
    EXPECT_TRUE(url.endsWith(QStringLiteral("Lagu%20Senja%20%231.wav"))) << url.toStdString();
    EXPECT_EQ(QUrl(url).toLocalFile(), Path(QStringLiteral("Lagu Senja #1.wav")));
}

TEST_F(MprisTest, NothingLoadedIsNoTrack) {
    Write(QStringLiteral("PlayList.Txt"), "");
    Write(QStringLiteral("KorviList.Txt"), "");
    Write(QStringLiteral("KorviSetting.Korvi"), "0\r\n2\r\n1\r\n1000\r\n");
    Start();
    service = std::make_unique<TMprisService>(*form);
    ASSERT_TRUE(service->Registered());
    EXPECT_EQ(qdbus_cast<QDBusObjectPath>(Metadata().value(QStringLiteral("mpris:trackid"))).path(),
              QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    EXPECT_FALSE(Property(kPlayer, QStringLiteral("CanPlay")).toBool());
    EXPECT_FALSE(Property(kPlayer, QStringLiteral("CanPause")).toBool());
    for (const char* method : {"Play", "Pause", "PlayPause", "Stop", "Next", "Previous"}) {
        Command(QString::fromLatin1(method));
        EXPECT_EQ(form->LabelMode->text(), QStringLiteral("Mode")) << method;
    }
    EXPECT_TRUE(shown.empty()) << Texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(MprisTest, VolumeMovesTheVolumeSlider) {
    StartWithTracks({QStringLiteral("a.wav")});
    const struct {
        double volume;
        int slider;
        const char* label;
        int gauge;
        bool max, min;
    } cases[] = {
        {0.555, 555, "Vol. 55", 55, false, false}, {0.0, 0, "Min Vol.", 0, false, true},
        {1.0, 1000, "Max Vol.", 100, true, false}, {-3.0, 0, "Min Vol.", 0, false, true},
        {7.5, 1000, "Max Vol.", 100, true, false}, {0.0004, 0, "Min Vol.", 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        SetVolume(c.volume);
        EXPECT_EQ(form->Slider1->Value(), c.slider);
        EXPECT_EQ(form->Label2->text(), QString::fromLatin1(c.label));
        EXPECT_EQ(form->Gauge1->Progress(), c.gauge);
        EXPECT_EQ(form->VolumeMax1->isChecked(), c.max);
        EXPECT_EQ(form->VolumeMin1->isChecked(), c.min);
        EXPECT_DOUBLE_EQ(Property(kPlayer, QStringLiteral("Volume")).toDouble(), c.slider / 1000.0);
    }
}

TEST_F(MprisTest, LoopStatusIsTheLoopBackBox) {
    StartWithTracks({QStringLiteral("a.wav")});
    const struct {
        const char* set;
        bool checked;
        const char* read;
    } cases[] = {
        {"Playlist", true, "Playlist"},
        {"Track", true, "Playlist"},  // not offered: nothing
                                      // changes
        {"None", false, "None"},
        {"Track", false, "None"},
        {"nonsense", false, "None"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        const QDBusMessage reply =
            Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                 {kPlayer, QStringLiteral("LoopStatus"),
                  QVariant::fromValue(QDBusVariant(QString::fromLatin1(c.set)))});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
        Settle();
        EXPECT_EQ(form->Checkbox1->isChecked(), c.checked);
        EXPECT_EQ(Property(kPlayer, QStringLiteral("LoopStatus")).toString(),
                  QString::fromLatin1(c.read));
    }
}

TEST_F(MprisTest, ChangesAreAnnounced) {
    StartWithTracks({QStringLiteral("a.wav"), QStringLiteral("b.wav")});
    PropertiesWatcher watcher;
    ASSERT_TRUE(client->connect(service->ServiceName(), TMprisService::ObjectPath(),
                                QStringLiteral("org.freedesktop.DBus.Properties"),
                                QStringLiteral("PropertiesChanged"), &watcher,
                                SLOT(Receive(QDBusMessage))));
    Command(QStringLiteral("Play"));
    ASSERT_TRUE(WaitFor([&watcher] { return watcher.statuses.size() == 1; }));
    // Clicks on the window's own buttons are announced as well; the restored entry was loaded
    // already, so the first new title is that of the next entry.
    form->btnpause->click();
    ASSERT_TRUE(WaitFor([&watcher] { return watcher.statuses.size() == 2; }));
    form->btnnext->click();
    ASSERT_TRUE(WaitFor([&watcher] { return watcher.statuses.size() == 3; }));
    EXPECT_EQ(watcher.statuses, (QStringList{QStringLiteral("Playing"), QStringLiteral("Paused"),
                                             QStringLiteral("Playing")}));
    EXPECT_EQ(watcher.titles, QStringList{QStringLiteral("b.wav")});
    EXPECT_EQ(watcher.interfaces.value(0), kPlayer);
}

TEST_F(MprisTest, AProgramOfItsOwnDrivesThePlayer) {
    StartWithTracks({QStringLiteral("a.wav"), QStringLiteral("b.wav")});
    const auto send = [this](const QStringList& arguments) {
        QProcess dbusSend;
        dbusSend.start(QStringLiteral("dbus-send"),
                       QStringList{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                   QStringLiteral("--dest=") + service->ServiceName(),
                                   TMprisService::ObjectPath()} +
                           arguments);
        // The player answers from this thread's event loop, so keep it turning.
        EXPECT_TRUE(WaitFor([&dbusSend] { return dbusSend.state() == QProcess::NotRunning; }));
        EXPECT_EQ(dbusSend.exitCode(), 0) << dbusSend.readAllStandardError().toStdString();
        Settle();
        return QString::fromUtf8(dbusSend.readAllStandardOutput());
    };
    send({QStringLiteral("org.mpris.MediaPlayer2.Player.PlayPause")});
    EXPECT_EQ(form->LabelMode->text(), QStringLiteral("Playing"));
    send({QStringLiteral("org.mpris.MediaPlayer2.Player.Next")});
    EXPECT_EQ(form->CurrentIndex, 1);
    EXPECT_EQ(form->labeltitle->text(), QStringLiteral("b.wav          "));
    EXPECT_TRUE(send({QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                      QStringLiteral("string:org.mpris.MediaPlayer2.Player"),
                      QStringLiteral("string:PlaybackStatus")})
                    .contains(QStringLiteral("\"Playing\"")));
    send({QStringLiteral("org.freedesktop.DBus.Properties.Set"),
          QStringLiteral("string:org.mpris.MediaPlayer2.Player"), QStringLiteral("string:Volume"),
          QStringLiteral("variant:double:0.25")});
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Vol. 25"));
    send({QStringLiteral("org.mpris.MediaPlayer2.Player.Stop")});
    EXPECT_EQ(form->LabelMode->text(), QStringLiteral("Stoped"));
}

TEST_F(MprisTest, AnErrorIsShownAndTheCallStillAnswered) {
    // The device can't open this file: the general error handler shows why, the bus call returns.
    Write(QStringLiteral("broken.mp3"), QByteArray(4096, '\x55'));
    Write(QStringLiteral("PlayList.Txt"), Path(QStringLiteral("broken.mp3")).toUtf8() + "\r\n");
    Write(QStringLiteral("KorviList.Txt"), "broken.mp3\r\n");
    Write(QStringLiteral("KorviSetting.Korvi"), "5\r\n2\r\n1\r\n1000\r\n");
    Start();
    shown.clear();  // the restore of a bad index reported itself already
    service = std::make_unique<TMprisService>(*form);
    ASSERT_TRUE(service->Registered());
    form->CurrentIndex = 0;
    Command(QStringLiteral("Play"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(shown[0].caption, TApplication::instance().Title());
    EXPECT_EQ(Property(kPlayer, QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Stopped"));
}

TEST_F(MprisTest, OpenUriAddsTheFileAsADropDoes) {
    Write(QStringLiteral("PlayList.Txt"), "");
    Write(QStringLiteral("KorviList.Txt"), "");
    Write(QStringLiteral("KorviSetting.Korvi"), "0\r\n2\r\n1\r\n1000\r\n");
    Write(QStringLiteral("new.wav"), SilentWav(60));
    Start();
    service = std::make_unique<TMprisService>(*form);
    ASSERT_TRUE(service->Registered());
    for (const QString& uri : {QStringLiteral("http://example.invalid/x.mp3"),
                               QUrl::fromLocalFile(Path(QStringLiteral("new.wav"))).toString()}) {
        ASSERT_EQ(Call(kPlayer, QStringLiteral("OpenUri"), {uri}).type(),
                  QDBusMessage::ReplyMessage);
        Settle();
    }
    ASSERT_EQ(form->List2->Count(), 1);
    EXPECT_EQ(form->list1->Strings(0), Path(QStringLiteral("new.wav")));
    EXPECT_EQ(form->LabelMode->text(), QStringLiteral("Playing"));
}

TEST_F(MprisTest, QuitClosesThePlayerAndSavesItsState) {
    StartWithTracks({QStringLiteral("a.wav"), QStringLiteral("b.wav")});
    int closed = 0;
    QObject::connect(form.get(), &TForm1::FormClosed, [&closed] { ++closed; });
    Command(QStringLiteral("Next"));
    ASSERT_EQ(Call(kRoot, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    Settle();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(Read(QStringLiteral("KorviSetting.Korvi")).left(3), QByteArray("1\r\n"));
}

TEST(MprisWithoutBus, ThePlayerWorksUnregistered) {
    TestApplication();
    QTemporaryDir dir;
    TForm1 form(dir.path(), QStringLiteral("fakesink"), QStringLiteral("fakesink"));
    const TMprisService service(form, TMprisService::DefaultServiceName(),
                                QDBusConnection(QStringLiteral("no-such-connection")));
    EXPECT_FALSE(service.Registered());
    EXPECT_TRUE(service.ServiceName().isEmpty());
}

#include "mpris_test.moc"
