#include "sysinfo/tform6.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace {

class Form6Test : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        form_ = std::make_unique<TForm6>();
        form_->WaveOutSource = [this] { return caps_; };
        form_->DisplaySource = [this] { return displays_; };
        caps_.Present = true;
        caps_.ProductName = QStringLiteral("USB Audio");
        caps_.DriverVersion = 0x0502;
        caps_.Channels = 2;
        caps_.Formats = WaveFormat::S16_44k;
        displays_ = {{QStringLiteral("card0"), QStringLiteral("Intel Corporation HD Graphics 620")},
                     {QStringLiteral("card1"), QStringLiteral("NVIDIA Corporation GP108M")}};
    }

    QStringList memoLines() const {
        const QString text = form_->Memo1->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }

    std::unique_ptr<TForm6> form_;
    TWaveOutCaps caps_;
    std::vector<TDisplayDevice> displays_;
};

TEST_F(Form6Test, WindowIsBuiltAsGiven) {
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Bonus"));
    EXPECT_EQ(form_->size(), QSize(306, 292));
    EXPECT_FALSE(form_->isModal());
    EXPECT_TRUE(form_->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(form_->Label1->text(), QStringLiteral("Sound Card Detections"));
    EXPECT_EQ(form_->Label1->pos(), QPoint(8, 8));
    EXPECT_EQ(form_->Label1->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    EXPECT_EQ(form_->Label1->font().pixelSize(), 13);
    EXPECT_TRUE(form_->Label1->font().bold());
    EXPECT_EQ(form_->Memo1->geometry(), QRect(8, 24, 289, 257));
    EXPECT_TRUE(form_->Memo1->isReadOnly());
    EXPECT_TRUE(form_->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(form_->Button1->geometry(), QRect(168, 8, 25, 17));
    EXPECT_EQ(form_->Button2->geometry(), QRect(200, 0, 33, 17));
    EXPECT_EQ(form_->Button2->text(), QStringLiteral("Sound Card Detections"));
    form_->show();
    EXPECT_FALSE(form_->Button1->isVisible());
    EXPECT_FALSE(form_->Button2->isVisible());
}

TEST_F(Form6Test, EachReportReplacesHeadingAndLines) {
    form_->ShowDisplayAdapterReport();
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(form_->Label1->text(), QStringLiteral("VGA Detections"));
    EXPECT_EQ(memoLines(), QStringList({QStringLiteral("Intel Corporation HD Graphics 620"),
                                        QStringLiteral("NVIDIA Corporation GP108M")}));

    form_->ShowSoundCardReport();
    EXPECT_EQ(form_->Label1->text(), QStringLiteral("Sound Card Detections"));
    EXPECT_EQ(
        memoLines(),
        QStringList({QStringLiteral("Nama : USB Audio"), QStringLiteral("Driver Version : 5.2"),
                     QStringLiteral("Stereo"), QStringLiteral("Supported WAV Format :"),
                     QStringLiteral(" - WAVE_FORMAT_4S16    44.1 kHz, stereo, 16-bit")}));

    displays_.clear();
    form_->Button1->click();
    EXPECT_EQ(form_->Label1->text(), QStringLiteral("VGA Detections"));
    EXPECT_TRUE(memoLines().isEmpty());

    // Closing only hides; the last report stays.
    form_->ShowSoundCardReport();
    form_->close();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(memoLines().size(), 5);
}

TEST_F(Form6Test, EveryLineOfTheSoundReportFitsTheMemo) {
    caps_.Formats = 0xFFF;
    form_->ShowSoundCardReport();
    const int room = form_->Memo1->viewport()->width() -
                     2 * static_cast<int>(form_->Memo1->document()->documentMargin());
    const QFontMetrics metrics(form_->Memo1->font());
    for (const QString& line : memoLines()) {
        EXPECT_LE(metrics.horizontalAdvance(line), room) << line.toStdString();
    }
    EXPECT_GE(form_->Memo1->font().pixelSize(), 8);
}

TEST_F(Form6Test, RealMachineReportsRun) {
    TForm6 real;
    real.ShowSoundCardReport();
    const QStringList sound = real.Memo1->toPlainText().split(QLatin1Char('\n'));
    EXPECT_TRUE(sound.value(0).startsWith(QStringLiteral("Nama : ")));
    EXPECT_TRUE(sound.contains(QStringLiteral("Supported WAV Format :")));
    real.ShowDisplayAdapterReport();
    EXPECT_EQ(real.Label1->text(), QStringLiteral("VGA Detections"));
}

}  // namespace
