// The WMA info and tag editor on real WMA files in a temporary folder, with the media-format
// module from the program's folder; what it writes is read back with TagLib.
#include "infobox/twmainfoform.h"

#include "analysis/twmafile.h"
#include "infobox/fitpathtowidth.h"
#include "platform/filenames.h"
#include "tags/wmatags.h"
#include "tests/infobox/infoboxtestfiles.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>
#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include <filesystem>
#include <memory>

namespace {

QString Q(const TagLib::String& text) {
    return QString::fromStdString(text.to8Bit(true));
}

class WmaInfoFormTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    TWMAInfoForm& Open(const QString& path) {
        wma_ = std::make_unique<TWMAfile>();
        wma_->Analyse(path.toUtf8().toStdString());
        form_ = std::make_unique<TWMAInfoForm>();
        form_->SetFile(path, wma_.get());
        form_->show();
        return *form_;
    }

    TTempFiles files_;
    TMessageCapture messages_;
    std::unique_ptr<TWMAfile> wma_;
    std::unique_ptr<TWMAInfoForm> form_;
};

TEST_F(WmaInfoFormTest, LayoutAndCaptions) {
    TWMAInfoForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tovra III [WMA info + tag editor]"));
    EXPECT_EQ(form.size(), QSize(616, 421));
    EXPECT_FALSE(form.btnUpdate->isEnabled());
    EXPECT_EQ(form.GroupBox3->title(), QStringLiteral(" WMA info "));
    EXPECT_EQ(form.GroupBox3->geometry(), QRect(22, 33, 248, 125));
    EXPECT_EQ(form.fFileName->geometry(), QRect(72, 13, 529, 15));
    struct Place {
        QWidget* widget;
        QRect geometry;
    };
    const Place places[] = {
        {form.fEncoder, {67, 166, 148, 20}},   {form.fGenre, {67, 188, 148, 20}},
        {form.fArtist, {67, 210, 234, 20}},    {form.fComposer, {67, 231, 234, 20}},
        {form.fTitle, {67, 253, 234, 20}},     {form.fAlbum, {67, 275, 234, 20}},
        {form.fYear, {67, 297, 42, 20}},       {form.fTrack, {216, 297, 30, 20}},
        {form.fUrl, {67, 318, 234, 20}},       {form.fCopyright, {67, 340, 234, 20}},
        {form.fComments, {324, 45, 281, 112}}, {form.fLyrics, {324, 183, 281, 177}},
        {form.btnUpdate, {386, 378, 75, 25}},  {form.btnCancel, {482, 378, 75, 25}},
    };
    for (const Place& place : places) {
        EXPECT_EQ(place.widget->geometry(), place.geometry)
            << place.widget->objectName().toStdString();
    }
    struct Caption {
        const char* name;
        const char* text;
        QPoint pos;
    };
    const Caption captions[] = {
        {"Label4", "File/URL :", {12, 13}},  {"Label3", "Encoder:", {15, 169}},
        {"Label1", "Genre:", {15, 192}},     {"Label9", "Artist:", {15, 214}},
        {"Label5", "Composer:", {15, 235}},  {"Label11", "Title:", {15, 257}},
        {"Label13", "Album:", {15, 278}},    {"Label10", "Year:", {15, 300}},
        {"Label14", "Track:", {177, 300}},   {"Label6", "Url:", {15, 321}},
        {"Label7", "Copyright:", {15, 343}}, {"Label16", "Comments:", {326, 29}},
        {"Label2", "Lyrics:", {326, 166}},
    };
    for (const Caption& c : captions) {
        const auto* label = form.findChild<QLabel*>(QString::fromLatin1(c.name));
        ASSERT_NE(label, nullptr) << c.name;
        EXPECT_EQ(label->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(label->pos(), c.pos) << c.name;
    }
    // The info lines inside their group, one under the other.
    const std::pair<QLabel*, QPoint> lines[] = {
        {form.lbSize, {16, 15}},         {form.lbLength, {16, 30}},   {form.lbBitrate, {16, 46}},
        {form.lbSamplingrate, {16, 61}}, {form.lbChannels, {16, 76}}, {form.lbVBR, {16, 92}},
        {form.lbVersion, {16, 107}},
    };
    for (const auto& [label, pos] : lines) {
        EXPECT_EQ(label->parentWidget(), form.GroupBox3) << label->objectName().toStdString();
        EXPECT_EQ(label->pos(), pos) << label->objectName().toStdString();
    }
    // Each caption ends clear of its field, whichever face stands in for the dialog's own.
    const std::pair<const char*, QWidget*> fieldCaptions[] = {
        {"Label3", form.fEncoder},   {"Label1", form.fGenre},    {"Label9", form.fArtist},
        {"Label5", form.fComposer},  {"Label11", form.fTitle},   {"Label13", form.fAlbum},
        {"Label10", form.fYear},     {"Label14", form.fTrack},   {"Label6", form.fUrl},
        {"Label7", form.fCopyright}, {"Label4", form.fFileName},
    };
    for (const auto& [name, field] : fieldCaptions) {
        const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_LE(label->x() + label->fontMetrics().horizontalAdvance(label->text()),
                  field->x() - 2)
            << name;
    }
    EXPECT_EQ(form.btnUpdate->text(), QStringLiteral("Update"));
    EXPECT_EQ(form.btnCancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.fLyrics->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(form.fComments->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Tab order as given.
    const QWidget* order[] = {form.fEncoder,  form.fArtist,   form.fTitle,    form.fAlbum,
                              form.fYear,     form.fTrack,    form.fComments, form.fGenre,
                              form.btnUpdate, form.btnCancel, form.fLyrics,   form.fComposer,
                              form.fUrl,      form.fCopyright};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        const QWidget* next = order[i - 1]->nextInFocusChain();
        while (next != nullptr && next->focusPolicy() == Qt::NoFocus && next != order[i]) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, order[i]) << i;
    }
}

TEST_F(WmaInfoFormTest, ShowsFiguresAndAttributes) {
    const QString path = files_.Copy("wma/tagged.wma", QStringLiteral("Kartu Pos ☃ é.wma"));
    TWMAInfoForm& form = Open(path);
    EXPECT_TRUE(messages_.Requests.empty());
    EXPECT_TRUE(form.btnUpdate->isEnabled());
    QLocale locale;
    locale.setNumberOptions({});
    EXPECT_EQ(form.lbSize->text(), QStringLiteral("File Size: ") +
                                       locale.toString(QFileInfo(path).size()) +
                                       QStringLiteral(" bytes"));
    EXPECT_TRUE(form.lbLength->text().startsWith(QStringLiteral("Length: 0:02.0")));
    EXPECT_TRUE(form.lbLength->text().endsWith(QStringLiteral(" sec")));
    EXPECT_EQ(form.lbBitrate->text(), QStringLiteral("Bitrate: 32 KBPS"));
    EXPECT_EQ(form.lbSamplingrate->text(), QStringLiteral("Samplingrate: 22050 Hz"));
    EXPECT_EQ(form.lbChannels->text(), QStringLiteral("Channels: 2"));
    EXPECT_EQ(form.lbVBR->text(), QStringLiteral("VBR: No"));
    EXPECT_EQ(form.lbVersion->text(), QStringLiteral("WMFSDK Version: 9.00.00.2980"));
    EXPECT_EQ(form.fTitle->text(), QStringLiteral("Kartu Pos"));
    EXPECT_EQ(form.fArtist->text(), QStringLiteral("Sari Wening"));
    EXPECT_EQ(form.fAlbum->text(), QStringLiteral("Lagu Senja"));
    EXPECT_EQ(form.fGenre->text(), QStringLiteral("Keroncong"));
    EXPECT_EQ(form.fYear->text(), QStringLiteral("1998"));
    EXPECT_EQ(form.fTrack->text(), QStringLiteral("7"));
    EXPECT_EQ(form.fComposer->text(), QStringLiteral("Budi Santoso"));
    EXPECT_EQ(form.fCopyright->text(), QStringLiteral("(c) 1998 Senja"));
    EXPECT_EQ(form.fEncoder->text(), QStringLiteral("Tovra"));
    EXPECT_EQ(form.fUrl->text(), QStringLiteral("http://example.org/senja"));
    EXPECT_EQ(form.fComments->toPlainText(), QStringLiteral("Direkam di Solo"));
    EXPECT_EQ(form.fLyrics->toPlainText(), QStringLiteral("Baris satu\nBaris dua"));
    EXPECT_EQ(form.fFileName->text(), path);
}

TEST_F(WmaInfoFormTest, UpdateWritesEditsAndRemovesEmptiedAttributes) {
    const QString path = files_.Copy("wma/tagged.wma", QStringLiteral("edit.wma"));
    TWMAInfoForm& form = Open(path);
    form.fTitle->setText(QStringLiteral("Kartu Pos ☃ Баллада"));
    form.fGenre->clear();
    form.fComposer->clear();
    form.fYear->setText(QStringLiteral("2001"));
    form.fArtist->setText(QString(300, QChar(u'ş')));
    form.fLyrics->setPlainText(QStringLiteral("Satu\nDua ☃"));
    form.btnUpdate->click();
    EXPECT_TRUE(messages_.Requests.empty());
    EXPECT_FALSE(form.isVisible());

    TagLib::ASF::File file(path.toUtf8().constData());
    ASSERT_TRUE(file.isValid());
    TagLib::ASF::Tag* tag = file.tag();
    EXPECT_EQ(Q(tag->title()), QStringLiteral("Kartu Pos ☃ Баллада"));
    EXPECT_EQ(Q(tag->artist()), QString(255, QChar(u'ş')));
    EXPECT_FALSE(tag->contains("WM/Genre"));
    EXPECT_FALSE(tag->contains("WM/Composer"));
    EXPECT_EQ(Q(tag->attribute("WM/Year").front().toString()), QStringLiteral("2001"));
    EXPECT_EQ(Q(tag->attribute("WM/Lyrics").front().toString()), QStringLiteral("Satu\r\nDua ☃"));
    EXPECT_EQ(Q(tag->album()), QStringLiteral("Lagu Senja"));

    // A second showing reads back what was written.
    TWMAInfoForm& again = Open(path);
    EXPECT_EQ(again.fTitle->text(), QStringLiteral("Kartu Pos ☃ Баллада"));
    EXPECT_EQ(again.fGenre->text(), QString());
    EXPECT_EQ(again.fLyrics->toPlainText(), QStringLiteral("Satu\nDua ☃"));
}

TEST_F(WmaInfoFormTest, SizeIsGroupedByThousands) {
    const QString path = files_.Copy("wma/tagged.wma", QStringLiteral("big.wma"));
    QFile(path).resize(1234567);
    TWMAInfoForm& form = Open(path);
    const QString separator = QLocale().groupSeparator();
    EXPECT_EQ(form.lbSize->text(), QStringLiteral("File Size: 1") + separator +
                                       QStringLiteral("234") + separator +
                                       QStringLiteral("567 bytes"));
}

TEST_F(WmaInfoFormTest, LongPathIsShortenedFromTheLeft) {
    const QString folder = QStringLiteral(
        "Koleksi Musik Lama Sekali/Keroncong dan Langgam Jawa Pilihan/"
        "Album Kenangan Tahun Tujuh Puluhan/Disk Satu");
    const QString path = files_.Copy("wma/tagged.wma", QStringLiteral("Kartu Pos.wma"), folder);
    TWMAInfoForm& form = Open(path);
    const QString shown = form.fFileName->text();
    const QFontMetrics metrics = form.fFileName->fontMetrics();
    EXPECT_NE(shown, path);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/.../"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/Disk Satu/Kartu Pos.wma"))) << shown.toStdString();
    EXPECT_TRUE(path.endsWith(shown.mid(4)));
    EXPECT_LE(metrics.horizontalAdvance(shown), 529);
    // One directory more would not fit.
    const QString tail = shown.mid(4);
    const QString head = path.left(path.size() - tail.size());
    const QString longer = QStringLiteral("/.../") + head.section(QLatin1Char('/'), -1) + tail;
    EXPECT_GT(metrics.horizontalAdvance(longer), 529) << longer.toStdString();
}

TEST_F(WmaInfoFormTest, AFileGoneSinceListedLoadsNothingAndCannotBeUpdated) {
    const QString first = files_.Copy("wma/tagged.wma", QStringLiteral("first.wma"));
    Open(first);
    ASSERT_EQ(CurrentWmaFile, first.toStdU16String());
    const QByteArray before = ReadQFile(first);

    TWMAInfoForm& form = Open(files_.Path(QStringLiteral("gone.wma")));
    EXPECT_FALSE(form.btnUpdate->isEnabled());
    EXPECT_TRUE(messages_.Requests.empty());
    EXPECT_EQ(form.lbSize->text(), QStringLiteral("File Size:  bytes"));
    EXPECT_EQ(form.lbLength->text(), QStringLiteral("Length: 0:00.000 sec"));
    EXPECT_EQ(form.lbBitrate->text(), QStringLiteral("Bitrate: 0 KBPS"));
    EXPECT_EQ(form.lbVBR->text(), QStringLiteral("VBR: No"));
    EXPECT_EQ(form.lbVersion->text(), QStringLiteral("WMFSDK Version: "));
    EXPECT_EQ(form.lbChannels->text(), QStringLiteral("Channels: 0"));
    EXPECT_EQ(form.fTitle->text(), QString());

    form.fTitle->setText(QStringLiteral("must not land in first.wma"));
    form.btnUpdateClick();
    EXPECT_EQ(ReadQFile(first), before);
    EXPECT_EQ(CurrentWmaFile, first.toStdU16String());
}

TEST_F(WmaInfoFormTest, TheLastShownFileIsTheOneWritten) {
    const QString first = files_.Copy("wma/tagged.wma", QStringLiteral("one.wma"));
    const QString second = files_.Copy("wma/plain.wma", QStringLiteral("two.wma"));
    Open(first);
    TWMAInfoForm& form = Open(second);
    EXPECT_EQ(form.fTitle->text(), QString());
    EXPECT_EQ(form.lbChannels->text(), QStringLiteral("Channels: 1"));
    const QByteArray before = ReadQFile(first);
    form.fTitle->setText(QStringLiteral("Dua"));
    form.btnUpdate->click();
    EXPECT_EQ(ReadQFile(first), before);
    EXPECT_EQ(Q(TagLib::ASF::File(second.toUtf8().constData()).tag()->title()),
              QStringLiteral("Dua"));
}

// A name that is not UTF-8 beside its replacement-character twin: the dialog shows and writes the
// file it was given, never the twin.
TEST_F(WmaInfoFormTest, ANameThatIsNotUtf8IsTheFileShownAndWritten) {
    const QString folder =
        QFileInfo(files_.Copy("wma/plain.wma", QStringLiteral("caf\u00e9.wma"))).absolutePath();
    const std::string latin1 = folder.toStdString() + "/caf\xe9.wma";
    const QString twin = folder + QStringLiteral("/caf\ufffd.wma");
    std::filesystem::copy_file(DataFile("wma/tagged.wma").toStdString(), latin1);
    files_.Copy("wma/plain.wma", QStringLiteral("caf\ufffd.wma"));
    const QByteArray twinBefore = ReadQFile(twin);
    TWMAInfoForm& form = Open(NameFromNative(QByteArray::fromStdString(latin1)));
    EXPECT_EQ(form.fTitle->text(), QStringLiteral("Kartu Pos"));
    form.fTitle->setText(QStringLiteral("Baru"));
    form.btnUpdate->click();
    EXPECT_EQ(Q(TagLib::ASF::File(latin1.c_str()).tag()->title()), QStringLiteral("Baru"));
    EXPECT_EQ(ReadQFile(twin), twinBefore);
    std::filesystem::remove(latin1);  // Qt's temporary folder could not remove the name
}

TEST_F(WmaInfoFormTest, CancelWritesNothing) {
    const QString path = files_.Copy("wma/tagged.wma", QStringLiteral("keep.wma"));
    const QByteArray before = ReadQFile(path);
    TWMAInfoForm& form = Open(path);
    form.fTitle->setText(QStringLiteral("x"));
    form.btnCancel->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ReadQFile(path), before);
}

}  // namespace
