// At scale factor 2, as on a high-density screen: every picture comes from its file drawn at
// twice the size, and the window keeps its logical sizes.
#include <QIcon>

#include "app/tjpegimage.h"
#include "platform/highdensity.h"
#include "tests/support/playerfixture.h"
#include "tests/support/qtprinters.h"

namespace {

// Before the application exists, which fixes the scale.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

using HighDensityTest = PlayerFixture;

TEST_F(HighDensityTest, EveryPictureLoadsAtTwiceItsSize) {
    ASSERT_TRUE(kScaled);
    ASSERT_EQ(TestApplication().devicePixelRatio(), 2.0);
    TForm1& f = Create();  // its start-up registers the slider's pictures
    (void)f;
    QStringList files = {QStringLiteral(":/art/banner.jpg")};
    for (const char* name : {"about", "add", "clear", "delete", "info", "next", "open", "play",
                             "prev", "readme", "volume"}) {
        files << QStringLiteral(":/art/buttons/%1.bmp").arg(QLatin1String(name));
    }
    for (const char* name : {"position_thumb", "volume_thumb"}) {
        files << QStringLiteral(":/art/sliders/%1.bmp").arg(QLatin1String(name));
    }
    for (const char* name : {"W95_HTB", "W95_HRL", "W95_VTB", "W95_VRL"}) {
        files << QStringLiteral(":/controls/%1.png").arg(QLatin1String(name));
    }
    for (const char* name : {"play1", "play2", "pause1", "pause2", "stop", "stop1"}) {
        files << Path(QStringLiteral("Tombol/%1.bmp").arg(QLatin1String(name)));
    }
    const auto load = [](const QString& file) {
        if (!file.endsWith(QLatin1String(".jpg"))) {
            return QImage(file);
        }
        QImage image = TJPEGImage::LoadFromFile(file);
        image.setDevicePixelRatio(PictureRatio(file));
        return image;
    };
    for (const QString& file : files) {
        const QString fine = HighDensityFile(file);
        EXPECT_EQ(fine, DoubleSizeName(file));
        const QImage small = load(file);
        const QImage large = load(fine);
        ASSERT_FALSE(small.isNull()) << file.toStdString();
        ASSERT_FALSE(large.isNull()) << fine.toStdString();
        EXPECT_EQ(large.size(), small.size() * 2) << fine.toStdString();
        EXPECT_EQ(large.devicePixelRatio(), 2.0) << fine.toStdString();
    }
}

TEST_F(HighDensityTest, TheWindowKeepsItsLogicalSizesAndShowsThePicturesDrawnLarger) {
    WriteState({"tone.wav"}, "0\r\n2\r\n1\r\n1000\r\n");
    TForm1& f = Start();
    ASSERT_TRUE(shown.empty()) << Texts().join(u'\n').toStdString();
    EXPECT_EQ(f.ClientWidth(), 697);
    EXPECT_EQ(f.ClientHeight(), 322);
    EXPECT_EQ(f.Image1->size(), QSize(359, 105));
    EXPECT_EQ(f.Image1->pixmap().size(), QSize(718, 210));
    EXPECT_EQ(f.Image1->pixmap().devicePixelRatio(), 2.0);
    // The buttons' pictures: Qt takes the large one for a ratio of 2.
    for (QPushButton* button : {f.btnprev, f.BtnPlay, f.btnstop, f.BitBtn1, f.BitBtn2}) {
        const QPixmap picture = button->icon().pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(picture.size(), QSize(32, 32)) << button->accessibleName().toStdString();
    }
    // The sliders: the same thumbs and travel in logical pixels, twice the pixels in them.
    EXPECT_EQ(f.Slider2->Thumb()->size(), QSize(9, 9));
    EXPECT_EQ(f.Slider2->ImageHThumb().size(), QSize(36, 18));
    EXPECT_EQ(f.Slider2->TravelLength(), 350 - 9);
    EXPECT_EQ(f.Slider1->Thumb()->size(), QSize(7, 11));
    EXPECT_EQ(f.Slider1->TravelLength(), 95 - 7);
}

}  // namespace
