// Tovra III: refuses a second copy, shows the splash while it creates the windows, then runs the
// player window until it closes.
#include <QApplication>
#include <QIcon>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

#include "app/tform1.h"
#include "app/tform8.h"
#include "platform/tapplication.h"
#include "platform/tsingleinstance.h"
#include "sysinfo/tform6.h"
#include "windows/tform3.h"
#include "windows/tform7.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);

    // Held until the process ends; the kernel releases it also after a crash.
    TSingleInstance instance(TSingleInstance::LockFileName(QStringLiteral("Tovra3")));
    if (!instance.AcquireOrRefuse()) {
        return 1;
    }

    TApplication::instance().setTitle(QStringLiteral("Tovra III [Velmo History]"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/tovra3.png")));

    std::unique_ptr<TForm1> Form1;
    std::vector<std::unique_ptr<QWidget>> windows;
    try {
        auto Form8 = std::make_unique<TForm8>();
        Form8->Animate1->SetActive(true);
        Form8->ProgressBar1->setMaximum(110);
        Form8->show();
        Form8->repaint();
        QApplication::processEvents();

        Form1 = std::make_unique<TForm1>();
        Form8->StepBy(20);

        // The loading texts, the pause after each, and the window each step creates. The fixed
        // windows live until the program ends; the player window is their owner.
        QWidget* owner = Form1.get();
        const struct {
            const char* text;
            unsigned long sleepMs;
            std::function<QWidget*()> create;
        } steps[] = {
            // The WAV info box joins the first row when it exists.
            {"Loading Player", 500, nullptr},
            {"Loading InfoBox", 250, [owner] { return new TForm3(owner); }},
            {"Loading Plugin", 250, nullptr},
            {"Loading Velmo History", 250, nullptr},
            {"Loading Bonus", 250, [owner] { return new TForm6(owner); }},
            {"Finishing.", 250,
             [owner] { return new TForm7(owner, QCoreApplication::applicationDirPath()); }},
        };
        for (const auto& step : steps) {
            Form8->SetStep(QString::fromUtf8(step.text));
            QThread::msleep(step.sleepMs);
            if (step.create) {
                windows.emplace_back(step.create());
            }
            Form8->StepBy(15);
        }
        Form8->SetStep(QStringLiteral("Finishing.."));
        QThread::msleep(50);
    } catch (const std::exception& error) {
        // The splash is gone already; the failure ends the program before the event loop.
        TApplication::instance().HandleException(error);
        return 1;
    }

    QObject::connect(Form1.get(), &TForm1::FormClosed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    Form1->show();
    const int result = QApplication::exec();
    windows.clear();
    Form1.reset();
    return result;
}
