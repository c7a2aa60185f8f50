#include "app/tjpegimage.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QWindow>

#include "app/tform8.h"
#include "tests/support/playerfixture.h"

namespace {

TEST(TJPEGImageTest, DecodesTheBannerAndRejectsDamagedData) {
    QFile file(QStringLiteral(TOVRA_SOURCE_DIR "/assets/banner.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    const QImage banner = TJPEGImage::Decode(data);
    EXPECT_EQ(banner.size(), QSize(359, 105));
    EXPECT_EQ(TJPEGImage::LoadFromFile(QStringLiteral(":/art/banner.jpg")).size(), QSize(359, 105));

    for (const QByteArray& bad : {QByteArray(), QByteArray("not a picture"), data.left(200)}) {
        EXPECT_THROW(TJPEGImage::Decode(bad), EJPEGError) << bad.size();
    }
}

TEST(TForm8Test, SplashLayoutAndSteps) {
    TestApplication();
    TForm8 splash;
    EXPECT_EQ(splash.size(), QSize(302, 76));
    EXPECT_EQ(splash.Label1->text(), QStringLiteral("Tovra III Loading.."));
    EXPECT_EQ(splash.Label2->text(), QStringLiteral("Initialize"));
    EXPECT_EQ(splash.Label2->width(), 273);
    EXPECT_EQ(splash.Animate1->size(), QSize(25, 33));
    EXPECT_EQ(splash.ProgressBar1->size(), QSize(257, 17));
    splash.ProgressBar1->setMaximum(110);
    splash.StepBy(20);
    for (int row = 0; row < 6; ++row) {
        splash.SetStep(QStringLiteral("Loading Player"));
        splash.StepBy(15);
    }
    EXPECT_EQ(splash.ProgressBar1->value(), 110);
    EXPECT_EQ(splash.Label2->text(), QStringLiteral("Loading Player"));

    // On the screen before the first step, and animating through the pauses.
    splash.Animate1->SetActive(true);
    splash.ShowAndPaint();
    ASSERT_NE(splash.windowHandle(), nullptr);
    EXPECT_TRUE(splash.windowHandle()->isExposed());
    const int frame = splash.Animate1->Frame();
    splash.Sleep(350);
    EXPECT_NE(splash.Animate1->Frame(), frame);

    // A pause never ends before its time, whether the work inside it is short or none.
    for (const int workMs : {0, 5, 25}) {
        QElapsedTimer clock;
        clock.start();
        splash.SleepDuring(20, [workMs] { QThread::msleep(workMs); });
        EXPECT_GE(clock.nsecsElapsed(), std::max(20, workMs) * 1'000'000LL) << workMs;
    }
}

}  // namespace
