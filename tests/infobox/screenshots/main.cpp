// Renders the three info dialogs, filled from the test files, into PNG files:
//   xvfb-run -a env QT_QPA_PLATFORM=xcb ./infobox_screenshots docs/screenshots
// The files are copied into a music-like folder first, so the file labels read like a user's.

#include "analysis/tmpegaudio.h"
#include "analysis/twavfile.h"
#include "analysis/twmafile.h"
#include "infobox/tform2.h"
#include "infobox/tmpegfileinfoform.h"
#include "infobox/twmainfoform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

QString CopyIntoMusic(const QTemporaryDir& dir, const char* relative, const QString& name) {
    const QString folder = dir.filePath(QStringLiteral("Music/Lagu Senja"));
    QDir().mkpath(folder);
    const QString target = folder + QLatin1Char('/') + name;
    QFile::copy(QStringLiteral(TOVRA_SOURCE_DIR "/tests/data/") + QString::fromUtf8(relative),
                target);
    return target;
}

// At a scale factor of 2 (QT_SCALE_FACTOR=2) the pictures are named "name@2x.png".
bool Save(QDialog& dialog, QString file) {
    if (qApp->devicePixelRatio() > 1.0) {
        file.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
    }
    dialog.show();
    QApplication::processEvents();
    const bool saved = dialog.grab().save(file, "PNG");
    dialog.hide();
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << file << '\n';
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir dir;
    bool ok = true;

    const QString mp3 = CopyIntoMusic(dir, "media/tone.mp3", QStringLiteral("Kartu Pos.mp3"));
    TMPEGaudio mpeg;
    mpeg.Analyse(mp3.toStdU16String());
    TMPEGFileInfoForm mpegForm;
    mpegForm.SetFile(mp3, &mpeg);
    ok = Save(mpegForm, out + QStringLiteral("/mpeg-infobox.png")) && ok;

    const QString wma = CopyIntoMusic(dir, "wma/tagged.wma", QStringLiteral("Kartu Pos.wma"));
    TWMAfile wmaFile;
    wmaFile.Analyse(wma.toUtf8().toStdString());
    TWMAInfoForm wmaForm;
    wmaForm.SetFile(wma, &wmaFile);
    ok = Save(wmaForm, out + QStringLiteral("/wma-infobox.png")) && ok;

    const QString wav =
        CopyIntoMusic(dir, "infobox/cd-stereo.wav", QStringLiteral("Kartu Pos.wav"));
    TWAVfile wavFile;
    wavFile.Analyse(wav.toUtf8().toStdString());
    TForm2 form2;
    form2.ShowWavInfo(wav, wavFile);
    ok = Save(form2, out + QStringLiteral("/wav-infobox.png")) && ok;
    return ok ? 0 : 1;
}
