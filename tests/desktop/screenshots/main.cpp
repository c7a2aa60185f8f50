// Renders the player's windows into PNG files for the README, from a sample playlist of the test
// media copied under user-like names. scripts/screenshots.sh builds and runs it under Xvfb:
//   desktop_screenshots <output folder>
//   desktop_screenshots --watch <width> <height> <milliseconds> <output folder>
// The player runs in a temporary program folder and plays into fakesink; the info boxes have a
// tool of their own (infobox_screenshots), which the script runs as well.

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <functional>

#include "app/tform1.h"
#include "platform/tapplication.h"
#include "sysinfo/tform6.h"
#include "sysinfo/tsystemfacts.h"
#include "windows/tform3.h"
#include "windows/tform7.h"

namespace {

const QString kSource = QStringLiteral(TOVRA_SOURCE_DIR);

bool Copy(const QString& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).path());
    QFile::remove(to);
    return QFile::copy(from, to);
}

void Settle(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

// At a scale factor of 2 (QT_SCALE_FACTOR=2) the pictures are named "name@2x.png".
bool Save(QWidget& window, QString file) {
    if (qApp->devicePixelRatio() > 1.0) {
        file.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
    }
    window.show();
    Settle(300);
    const bool saved = window.grab().save(file, "PNG");
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << file << '\n';
    return saved;
}

// --watch <width> <height> <milliseconds> <output folder>: saves the middle of the screen, where
// a window of that size is centred, as often as it can for that long (watch-NNN.png). Only that
// part is taken from the display, so it is fast enough to follow a splash's animation.
int Watch(const QStringList& args) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (args.size() < 4 || screen == nullptr) {
        QTextStream(stderr)
            << "usage: desktop_screenshots --watch <width> <height> <ms> <folder>\n";
        return 1;
    }
    const QRect window(0, 0, args[0].toInt(), args[1].toInt());
    const QPoint at = screen->geometry().center() - window.center();
    QDir().mkpath(args[3]);
    QDeadlineTimer deadline(args[2].toInt());
    for (int i = 0; !deadline.hasExpired(); ++i) {
        const QPixmap shot = screen->grabWindow(0, at.x(), at.y(), window.width(), window.height());
        shot.save(args[3] + QStringLiteral("/watch-%1.png").arg(i, 3, 10, QLatin1Char('0')));
        QThread::msleep(20);
    }
    return 0;
}

// The program folder: glyphs, readme and a playlist of five files in a music folder.
bool MakeProgramFolder(const QString& dir) {
    bool ok = true;
    for (const char* glyph : {"play1.bmp", "play2.bmp", "pause1.bmp", "pause2.bmp", "stop.bmp",
                              "stop1.bmp", "play1@2x.bmp", "play2@2x.bmp", "pause1@2x.bmp",
                              "pause2@2x.bmp", "stop@2x.bmp", "stop1@2x.bmp"}) {
        const QString name = QString::fromLatin1(glyph);
        ok = Copy(kSource + QStringLiteral("/assets/Tombol/") + name,
                  dir + QStringLiteral("/Tombol/") + name) &&
             ok;
    }
    ok = Copy(kSource + QStringLiteral("/assets/Readme.Korvi"),
              dir + QStringLiteral("/Readme.Korvi")) &&
         ok;

    const struct {
        const char* media;
        const char* name;
    } playlist[] = {
        {"tone.mp3", "01 Kartu Pos.mp3"},    {"tone.wma", "02 Hujan Bulan Juni.wma"},
        {"tune.mid", "03 Tembang Pagi.mid"}, {"tone.wav", "04 Rekaman Latihan.wav"},
        {"clip.mpg", "05 Konser Sore.mpg"},
    };
    QByteArray paths;
    QByteArray names;
    for (const auto& entry : playlist) {
        const QString target =
            dir + QStringLiteral("/Music/Lagu Senja/") + QString::fromUtf8(entry.name);
        ok = Copy(kSource + QStringLiteral("/tests/data/media/") + QString::fromLatin1(entry.media),
                  target) &&
             ok;
        paths += target.toUtf8() + "\r\n";
        names += QByteArray(entry.name) + "\r\n";
    }
    const auto write = [&dir](const char* name, const QByteArray& data) {
        QFile file(dir + QLatin1Char('/') + QString::fromLatin1(name));
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
    };
    // Entry 2 current, loop back on, playlist shown, volume at 80.
    return write("PlayList.Txt", paths) && write("KorviList.Txt", names) &&
           write("KorviSetting.Korvi", "1\r\n1\r\n1\r\n800\r\n") && ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--watch")) {
        return Watch(args.mid(1));
    }
    TApplication::instance().setTitle(QStringLiteral("Tovra III [Velmo History]"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir dir;
    if (!dir.isValid() || !MakeProgramFolder(dir.path())) {
        QTextStream(stderr) << "could not lay out the sample program folder\n";
        return 1;
    }
    bool ok = true;

    // A message box is grabbed instead of waiting for a click.
    QString boxFile;
    TApplication::instance().setPresenter([&](const TApplication::MessageRequest& request) {
        QMessageBox box(request.icon, request.caption, request.text, request.buttons,
                        request.parent);
        if (!boxFile.isEmpty()) {
            ok = Save(box, boxFile) && ok;
        } else {
            QTextStream(stderr) << "unexpected message: " << request.text << '\n';
            ok = false;
        }
        return QMessageBox::Ok;
    });

    TForm1 form(dir.path(), QStringLiteral("fakesink sync=true"),
                QStringLiteral("fakesink sync=true"));
    form.show();
    Settle(300);
    // The second entry plays, then pauses, as a user would leave it.
    form.BtnPlayClick();
    Settle(700);
    form.btnpauseClick();
    ok = Save(form, out + QStringLiteral("/player.png")) && ok;

    TForm3 about(&form);
    ok = Save(about, out + QStringLiteral("/about.png")) && ok;
    about.hide();

    TForm7 readme(&form, dir.path());
    ok = Save(readme, out + QStringLiteral("/readme.png")) && ok;
    readme.hide();

    // A made-up card that plays every format, so the picture shows the whole report.
    TForm6 bonus(&form);
    bonus.WaveOutSource = [] {
        TWaveOutCaps caps;
        caps.Present = true;
        caps.ProductName = QStringLiteral("HDA Intel PCH");
        caps.DriverVersion = 0x0601;
        caps.Device = QStringLiteral("hw:0,0");
        caps.Channels = 2;
        caps.Formats = 0xFFF;
        return caps;
    };
    bonus.ShowSoundCardReport();
    ok = Save(bonus, out + QStringLiteral("/bonus.png")) && ok;
    bonus.hide();

    // The report of a made-up machine, so the picture tells nothing of the one it was made on.
    TSystemFacts facts;
    facts.PlatformId = TSystemFacts::PlatformLinux;
    facts.MajorVersion = 6;
    facts.MinorVersion = 1;
    facts.BuildNumber = 0;
    facts.ServicePack = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    facts.WindowsDirectory = QStringLiteral("/");
    facts.SystemDirectory = QStringLiteral("/lib/x86_64-linux-gnu");
    facts.TempPath = QStringLiteral("/tmp/");
    facts.MouseButtons = 3;
    facts.ScreenWidth = 1920;
    facts.ScreenHeight = 1080;
    facts.Hour = 20;
    facts.Minute = 15;
    facts.TotalPhysicalMemory = 8ull << 30;
    facts.UserName = QStringLiteral("korvi");
    facts.ComputerName = QStringLiteral("studio");
    facts.UptimeMs = 135ull * 60 * 1000;
    facts.Drives = {{QStringLiteral("/"), 3, true, 250ull << 30, 180ull << 30},
                    {QStringLiteral("/home"), 3, true, 500ull << 30, 320ull << 30},
                    {QStringLiteral("/media/korvi/USB"), 2, true, 16ull << 30, 9ull << 30}};
    boxFile = out + QStringLiteral("/system-info.png");
    TApplication::instance().showMessage(SystemInfoReport(facts), &form);
    boxFile.clear();

    form.btnstopClick();
    return ok ? 0 : 1;
}
