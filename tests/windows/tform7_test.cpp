#include "windows/tform7.h"
#include "controls/tdndlistbox.h"
#include "platform/tapplication.h"
#include "tests/support/messagecapture.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class Form7Test : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ASSERT_TRUE(folder_.isValid());
    }

    void writeReadme(int lines, const QByteArray& ending = "\r\n") {
        QFile file(folder_.path() + QStringLiteral("/Readme.Korvi"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int i = 1; i <= lines; ++i) {
            file.write("Line " + QByteArray::number(i) + ending);
        }
    }

    void showAgain(TForm7& form) {
        form.hide();
        form.show();
    }

    QTemporaryDir folder_;
    TMessageCapture messages_;
    const std::vector<TApplication::MessageRequest>& shown_ = messages_.Requests;
};

TEST_F(Form7Test, WindowIsBuiltAsGiven) {
    TForm7 form(nullptr, folder_.path());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Readme File"));
    EXPECT_EQ(form.size(), QSize(523, 449));
    EXPECT_TRUE(form.isModal());
    EXPECT_EQ(form.DnDListBox1->geometry(), QRect(0, -1, 521, 449));
    EXPECT_EQ(form.DnDListBox1->font().family(), QStringLiteral("Lucida Console"));
    EXPECT_EQ(form.DnDListBox1->font().pixelSize(), 13);
    EXPECT_EQ(form.DnDListBox1->ItemHeight(), 13);
    EXPECT_TRUE(form.DnDListBox1->AutoAdd());
    EXPECT_EQ(form.ReadmePath(), folder_.path() + QStringLiteral("/Readme.Korvi"));
}

TEST_F(Form7Test, EveryShowingReadsTheFileAnew) {
    TForm7 form(nullptr, folder_.path());
    writeReadme(120);
    form.show();
    ASSERT_EQ(form.DnDListBox1->Count(), 120);
    EXPECT_EQ(form.DnDListBox1->Strings(0), QStringLiteral("Line 1"));
    EXPECT_EQ(form.DnDListBox1->Strings(119), QStringLiteral("Line 120"));

    // Files dropped while open are listed for that showing only.
    form.DnDListBox1->DoFileDropped(QStringLiteral("/music/dropped.mp3"));
    EXPECT_EQ(form.DnDListBox1->Count(), 121);

    writeReadme(3, "\n");
    showAgain(form);
    EXPECT_EQ(form.DnDListBox1->Lines(),
              QStringList(
                  {QStringLiteral("Line 1"), QStringLiteral("Line 2"), QStringLiteral("Line 3")}));

    writeReadme(0);
    showAgain(form);
    EXPECT_EQ(form.DnDListBox1->Count(), 0);
    EXPECT_TRUE(shown_.empty());
}

TEST_F(Form7Test, MissingReadmeIsReportedAndTheWindowOpensWithItsOldLines) {
    TForm7 form(nullptr, folder_.path());
    writeReadme(5);
    form.show();
    ASSERT_EQ(form.DnDListBox1->Count(), 5);
    ASSERT_TRUE(QFile::remove(form.ReadmePath()));

    // Restored from the task bar is no new showing: nothing is read, nothing reported.
    form.showMinimized();
    QCoreApplication::processEvents();
    form.showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown_.empty());

    showAgain(form);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.DnDListBox1->Count(), 5);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].icon, QMessageBox::Critical);
    EXPECT_EQ(shown_[0].caption, TApplication::instance().Title());
    EXPECT_EQ(shown_[0].text, QStringLiteral("Cannot open file \"%1\". No such file or directory.")
                                  .arg(form.ReadmePath()));
}

TEST_F(Form7Test, ShippedReadmeIsReadFromTheProgramsFolder) {
    TForm7 form;
    EXPECT_EQ(form.ReadmePath(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/Readme.Korvi"));
    form.show();
    EXPECT_TRUE(shown_.empty()) << (shown_.empty() ? "" : shown_[0].text.toStdString());
    QFile shipped(QStringLiteral(TOVRA_SOURCE_DIR "/assets/Readme.Korvi"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray bytes = shipped.readAll();
    EXPECT_EQ(form.DnDListBox1->Count(), bytes.count('\n'));
    EXPECT_EQ(form.DnDListBox1->Strings(1), QStringLiteral("  Tovra III [Velmo History] - Readme"));
    // Single-byte text: the shipped readme keeps to ASCII.
    for (const char byte : bytes) {
        EXPECT_LT(static_cast<unsigned char>(byte), 0x80u);
    }
}

}  // namespace
