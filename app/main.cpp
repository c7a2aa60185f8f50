// Tovra III: refuses a second copy (or hands the files it was given to the copy that runs), shows
// the splash while it creates the windows, then runs the player window until it closes.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>

#include <functional>
#include <memory>

#include "app/openfiles.h"
#include "app/tform1.h"
#include "app/tform8.h"
#include "app/tmprisservice.h"
#include "controls/widgetkit.h"
#include "platform/filenames.h"
#include "platform/tapplication.h"
#include "platform/tinstancechannel.h"
#include "platform/tsingleinstance.h"

namespace {

// tovra3 FILE...: paths or file: URIs, as the desktop entry hands them over. Taken from argv
// (Qt has removed its own options there), since Qt's list would turn a name's bytes that are not
// UTF-8 into U+FFFD and so name another file.
QStringList Arguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << NameFromNative(QByteArray(argv[i]));
    }
    return arguments;
}

// The splash, and behind it the player window with the windows it owns.
std::unique_ptr<TForm1> CreateWindowsBehindTheSplash() {
    std::unique_ptr<TForm1> Form1;
    auto Form8 = std::make_unique<TForm8>();
    Form8->Animate1->SetActive(true);
    Form8->ProgressBar1->setMaximum(110);
    Form8->ShowAndPaint();
    Form8->StepBy(20);

    // The loading texts, the pause of each, and the windows each step creates. The windows
    // are made during the pauses, which would otherwise only add to the wait. They live until
    // the program ends; the player window owns them.
    const struct {
        const char* text;
        int sleepMs;
        std::function<void()> create;
    } steps[] = {
        {"Loading Player", 500,
         [&Form1] {
             // Loading the icon takes milliseconds; the splash shows none, the windows after
             // it do.
             QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/tovra3.png")));
             Form1 = std::make_unique<TForm1>();
             Form1->WavInfoBox();
         }},
        {"Loading InfoBox", 250, [&Form1] { Form1->AboutWindow(); }},
        // The player window's first paint loads fonts and glyphs and makes its native
        // window; done here, the window shows at once after the splash.
        {"Loading Plugin", 250,
         [&Form1] {
             Form1->winId();
             QPixmap image(Form1->size());
             Form1->render(&image);
         }},
        {"Loading Velmo History", 250, [&Form1] { Form1->WarmUpCurrentEntry(); }},
        {"Loading Bonus", 250, [&Form1] { Form1->BonusWindow(); }},
        {"Finishing.", 250, [&Form1] { Form1->ReadmeWindow(); }},
    };
    for (const auto& step : steps) {
        Form8->SetStep(QString::fromUtf8(step.text));
        Form8->SleepDuring(step.sleepMs, step.create);
        Form8->StepBy(15);
    }
    Form8->SetStep(QStringLiteral("Finishing.."));
    Form8->Sleep(50);
    return Form1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = Arguments(argc, argv);

    // Held until the process ends; the kernel releases it also after a crash.
    const QString lockFileName = TSingleInstance::LockFileName(QStringLiteral("Tovra3"));
    TSingleInstance instance(lockFileName);
    const QString socketName = TInstanceChannel::SocketName(lockFileName);
    if (!instance.Acquire()) {
        // A start with files gives them to the copy that runs and ends quietly.
        return TInstanceChannel::HandOverOrRefuse(socketName, arguments, QDir::currentPath()) ? 0
                                                                                              : 1;
    }
    // Later starts may bring files from now on; they wait until the window is there.
    TInstanceChannel channel(socketName);
    channel.Listen();

    TApplication::instance().setTitle(ProductTitle());

    std::unique_ptr<TForm1> Form1;
    try {
        Form1 = CreateWindowsBehindTheSplash();
    } catch (const std::exception& error) {
        // The splash is gone already; the failure ends the program before the event loop.
        TApplication::instance().HandleException(error);
        return 1;
    }

    QObject::connect(Form1.get(), &TForm1::FormClosed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Media keys and the desktop's media controls, over the session bus; the window owns it.
    new TMprisService(*Form1);
    Form1->show();
    // This start's own files first, then those of later starts, each lot brought to the front.
    OpenFiles(*Form1, TInstanceChannel::LocalFiles(arguments, QDir::currentPath()));
    channel.SetReceiver(Form1.get(), [form = Form1.get()](const QStringList& files) {
        OpenFiles(*form, files);
        BringToFront(*form);
    });
    const int result = QApplication::exec();
    Form1.reset();
    return result;
}
