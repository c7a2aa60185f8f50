// The MPEG info box and tag editor driven as a user would: real MP3 files copied to a temporary
// folder, tagged by TagLib, shown, edited, updated, and read back through our tag classes and
// TagLib.
#include "infobox/tmpegfileinfoform.h"

#include "analysis/tmpegaudio.h"
#include "tags/unifile.h"
#include "tests/infobox/infoboxtestfiles.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/urllinkframe.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

namespace {

TagLib::String Wide(const char* utf8) {
    return TagLib::String(utf8, TagLib::String::UTF8);
}

QString Q(const TagLib::String& text) {
    return QString::fromStdString(text.to8Bit(true));
}

void AddTextFrame(TagLib::ID3v2::Tag& tag, const char* id, const char* text) {
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF16);
    frame->setText(Wide(text));
    tag.addFrame(frame);
}

// Both tags, written by TagLib: an ID3v2.3 tag with every field the dialog shows (texts beyond
// Latin-1 included) and an ID3v1.1 tag.
void WriteBothTags(const QString& path) {
    TagLib::MPEG::File file(path.toUtf8().constData());
    ASSERT_TRUE(file.isValid());
    TagLib::ID3v2::Tag* v2 = file.ID3v2Tag(true);
    v2->setTitle(Wide("Ωmega ☃ Lagu"));
    v2->setArtist(Wide("Sari Wening"));
    v2->setAlbum(Wide("Lagu Senja"));
    v2->setYear(1998);
    v2->setTrack(7);
    v2->setGenre(Wide("Rock"));
    v2->setComment(Wide("Baris satu\nBaris dua"));
    AddTextFrame(*v2, "TCOM", "Budi Santoso");
    AddTextFrame(*v2, "TOPE", "Ibu Sari");
    AddTextFrame(*v2, "TCOP", "(c) 1998 Senja");
    AddTextFrame(*v2, "TENC", "Tovra");
    auto* url = new TagLib::ID3v2::UserUrlLinkFrame();
    url->setUrl("http://example.org/senja");
    v2->addFrame(url);
    TagLib::ID3v1::Tag* v1 = file.ID3v1Tag(true);
    v1->setTitle(Wide("Café"));
    v1->setArtist("Sari");
    v1->setAlbum("Senja");
    v1->setYear(1997);
    v1->setTrack(5);
    v1->setGenre("Jazz");
    v1->setComment("Satu");
    ASSERT_TRUE(file.save(TagLib::MPEG::File::AllTags, TagLib::File::StripOthers, TagLib::ID3v2::v3,
                          TagLib::File::DoNotDuplicate));
}

void StripAllTags(const QString& path) {
    TagLib::MPEG::File file(path.toUtf8().constData());
    ASSERT_TRUE(file.strip(TagLib::MPEG::File::AllTags));
}

class MpegInfoFormTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    // Analyses the file and shows its fields as the dispatch would.
    TMPEGFileInfoForm& Open(const QString& path) {
        mpeg_ = std::make_unique<TMPEGaudio>();
        EXPECT_TRUE(mpeg_->Analyse(path.toStdU16String()));
        form_ = std::make_unique<TMPEGFileInfoForm>();
        form_->SetFile(path, mpeg_.get());
        // Showing runs FormShow, as the modal showing does.
        form_->show();
        return *form_;
    }

    // A fresh analysis of the file: what our tag classes read now.
    static std::unique_ptr<TMPEGaudio> Reread(const QString& path) {
        auto mpeg = std::make_unique<TMPEGaudio>();
        EXPECT_TRUE(mpeg->Analyse(path.toStdU16String()));
        return mpeg;
    }

    QString Tagged(const QString& name = QStringLiteral("Lagu ☃ Café.mp3")) {
        const QString path = files_.Copy("media/tone.mp3", name);
        WriteBothTags(path);
        return path;
    }
    QString Untagged() {
        const QString path = files_.Copy("media/tone.mp3", QStringLiteral("plain.mp3"));
        StripAllTags(path);
        return path;
    }

    TTempFiles files_;
    TMessageCapture messages_;
    std::unique_ptr<TMPEGaudio> mpeg_;
    std::unique_ptr<TMPEGFileInfoForm> form_;
};

TEST_F(MpegInfoFormTest, LayoutAndCaptions) {
    TMPEGFileInfoForm form;
    EXPECT_EQ(form.windowTitle(),
              QStringLiteral("Tovra III [MPEG file info box + ID3 tag editor]"));
    EXPECT_EQ(form.size(), QSize(570, 399));
    EXPECT_EQ(form.fFileName->width(), 486);
    EXPECT_EQ(form.Label19->text(), QStringLiteral("File/URL :"));
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral(" ID3v1 "));
    EXPECT_EQ(form.GroupBox2->title(), QStringLiteral(" ID3v2 "));
    EXPECT_EQ(form.GroupBox3->title(), QStringLiteral(" MPEG info "));
    EXPECT_EQ(form.cbID3v1Tag->text(), QStringLiteral("ID3v&1 Tag"));
    EXPECT_EQ(form.cbID3v2Tag->text(), QStringLiteral("ID3v&2 Tag"));
    EXPECT_EQ(form.btnCopyTo->text(), QStringLiteral("Copy &to ID3v1"));
    EXPECT_EQ(form.btnCopyFrom->text(), QStringLiteral("Copy &from ID3v1"));
    EXPECT_EQ(form.btnUpdate->text(), QStringLiteral("&Update"));
    EXPECT_EQ(form.btnCancel->text(), QStringLiteral("&Cancel"));
    EXPECT_EQ(form.btnUndo->text(), QStringLiteral("Undo Changes"));
    for (const QPushButton* button : form.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault() || button->autoDefault())
            << button->objectName().toStdString();
    }
    // Every control lies inside the client area and inside its group.
    for (const QWidget* child : form.findChildren<QWidget*>()) {
        if (child->isWindow() || child->parentWidget() == nullptr || !child->isVisibleTo(&form)) {
            continue;
        }
        EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry()))
            << child->objectName().toStdString();
    }

    // Genre lists: sorted, the ID3v1 list with the empty entry first, entry i the name of i - 1.
    ASSERT_EQ(form.Tag1_Genre->count(), 149);
    ASSERT_EQ(form.Tag2_Genre->count(), 148);
    EXPECT_EQ(form.Tag1_Genre->itemText(0), QString());
    EXPECT_EQ(form.Tag1_Genre->currentIndex(), -1);
    for (int i = 1; i < 149; ++i) {
        EXPECT_EQ(form.Tag1_Genre->itemText(i), form.Tag2_Genre->itemText(i - 1));
    }
    for (int i = 1; i < 148; ++i) {
        EXPECT_LE(QString::compare(form.Tag2_Genre->itemText(i - 1), form.Tag2_Genre->itemText(i),
                                   Qt::CaseInsensitive),
                  0);
    }
    EXPECT_TRUE(form.Tag2_Genre->isEditable());
}

TEST_F(MpegInfoFormTest, BothTagsShowEveryFieldAndTheStreamFacts) {
    TMPEGFileInfoForm& form = Open(Tagged());
    EXPECT_TRUE(form.HadID3v1);
    EXPECT_TRUE(form.HadID3v2);
    EXPECT_TRUE(form.cbID3v1Tag->isChecked());
    EXPECT_TRUE(form.cbID3v2Tag->isChecked());
    EXPECT_TRUE(form.btnCopyTo->isEnabled());
    EXPECT_TRUE(form.btnCopyFrom->isEnabled());
    EXPECT_TRUE(form.Tag1_Title->isEnabled());
    EXPECT_TRUE(form.Tag2_Comment->isEnabled());

    EXPECT_EQ(form.Tag1_TrackNo->text(), QStringLiteral("5"));
    EXPECT_EQ(form.Tag1_Title->text(), QStringLiteral("Café"));
    EXPECT_EQ(form.Tag1_Artist->text(), QStringLiteral("Sari"));
    EXPECT_EQ(form.Tag1_Album->text(), QStringLiteral("Senja"));
    EXPECT_EQ(form.Tag1_Year->text(), QStringLiteral("1997"));
    EXPECT_EQ(form.Tag1_Comment->text(), QStringLiteral("Satu"));
    EXPECT_EQ(form.Tag1_Genre->currentText(), QStringLiteral("Jazz"));

    EXPECT_EQ(form.Tag2_TrackNo->text(), QStringLiteral("7"));
    EXPECT_EQ(form.Tag2_Title->text(), QStringLiteral("Ωmega ☃ Lagu"));
    EXPECT_EQ(form.Tag2_Artist->text(), QStringLiteral("Sari Wening"));
    EXPECT_EQ(form.Tag2_Album->text(), QStringLiteral("Lagu Senja"));
    EXPECT_EQ(form.Tag2_Year->text(), QStringLiteral("1998"));
    EXPECT_EQ(form.Tag2_Genre->currentText(), QStringLiteral("Rock"));
    EXPECT_EQ(form.Tag2_Genre->itemText(form.Tag2_Genre->currentIndex()), QStringLiteral("Rock"));
    EXPECT_EQ(form.Tag2_Comment->toPlainText(), QStringLiteral("Baris satu\nBaris dua"));
    EXPECT_EQ(form.Tag2_Composer->text(), QStringLiteral("Budi Santoso"));
    EXPECT_EQ(form.Tag2_OrigArtist->text(), QStringLiteral("Ibu Sari"));
    EXPECT_EQ(form.Tag2_Copyright->text(), QStringLiteral("(c) 1998 Senja"));
    EXPECT_EQ(form.Tag2_URL->text(), QStringLiteral("http://example.org/senja"));
    EXPECT_EQ(form.Tag2_Encodedby->text(), QStringLiteral("Tovra"));

    // The stream facts of the file as the analyser reports them.
    const TMPEGaudio& mpeg = *mpeg_;
    ASSERT_TRUE(mpeg.Frame.Found);
    const QString size = QString::number(QFileInfo(form.InfoFileName).size());
    const std::pair<QLabel*, QString> labels[] = {
        {form.lbSize, QStringLiteral("Size: ") + size + QStringLiteral(" bytes")},
        {form.lbHeaderPos, QStringLiteral("Header found at: %1 bytes").arg(mpeg.Frame.Position)},
        {form.lbLength, QStringLiteral("Length: 1 seconds")},
        {form.lbType, QStringLiteral("MPEG 1 Layer III")},
        {form.lbBitFrame, QStringLiteral("128kbit, %1 frames").arg(mpeg.FrameCount())},
        {form.lbFreq_Channels, QStringLiteral("44100Hz Stereo")},
        {form.lbCRC, QStringLiteral("CRCs: No")},
        {form.lbCopyrighted, QStringLiteral("Copyrighted: No")},
        {form.lbOriginal, QStringLiteral("Original: No")},
        {form.lbEmphasis, QStringLiteral("Emphasis: None")},
    };
    for (const auto& [label, text] : labels) {
        EXPECT_EQ(label->text(), text) << label->objectName().toStdString();
        EXPECT_EQ(label->parentWidget(), form.GroupBox3);
    }
    EXPECT_GT(mpeg.Frame.Position, 0);
    EXPECT_GT(mpeg.FrameCount(), 50);
    EXPECT_EQ(form.fFileName->text(), form.InfoFileName);
}

TEST_F(MpegInfoFormTest, UndoRestoresValuesAndBothBoxes) {
    TMPEGFileInfoForm& form = Open(Tagged());
    form.Tag1_Title->setText(QStringLiteral("changed"));
    form.Tag2_Artist->setText(QStringLiteral("changed"));
    form.Tag2_Comment->setPlainText(QStringLiteral("changed"));
    form.Tag1_Genre->setCurrentIndex(0);
    form.cbID3v1Tag->click();
    form.cbID3v2Tag->click();
    EXPECT_FALSE(form.Tag1_Title->isEnabled());
    EXPECT_FALSE(form.btnCopyFrom->isEnabled());
    EXPECT_FALSE(form.Tag2_Title->isEnabled());
    EXPECT_FALSE(form.btnCopyTo->isEnabled());

    form.btnUndo->click();
    EXPECT_TRUE(form.cbID3v1Tag->isChecked());
    EXPECT_TRUE(form.cbID3v2Tag->isChecked());
    EXPECT_TRUE(form.Tag1_Title->isEnabled());
    EXPECT_TRUE(form.Tag2_Title->isEnabled());
    EXPECT_TRUE(form.btnCopyFrom->isEnabled());
    EXPECT_TRUE(form.btnCopyTo->isEnabled());
    EXPECT_EQ(form.Tag1_Title->text(), QStringLiteral("Café"));
    EXPECT_EQ(form.Tag2_Artist->text(), QStringLiteral("Sari Wening"));
    EXPECT_EQ(form.Tag2_Comment->toPlainText(), QStringLiteral("Baris satu\nBaris dua"));
    EXPECT_EQ(form.Tag1_Genre->currentText(), QStringLiteral("Jazz"));
}

TEST_F(MpegInfoFormTest, CopyToAndFromId3v1) {
    TMPEGFileInfoForm& form = Open(Tagged());
    form.cbID3v1Tag->setChecked(false);
    form.btnCopyTo->click();
    EXPECT_TRUE(form.cbID3v1Tag->isChecked());
    EXPECT_TRUE(form.Tag1_Title->isEnabled());
    EXPECT_TRUE(form.btnCopyFrom->isEnabled());
    EXPECT_EQ(form.Tag1_TrackNo->text(), QStringLiteral("7"));
    // Copied unchanged: no cut to 30 characters here, and the memo's lines kept.
    EXPECT_EQ(form.Tag1_Title->text(), QStringLiteral("Ωmega ☃ Lagu"));
    EXPECT_EQ(form.Tag1_Artist->text(), QStringLiteral("Sari Wening"));
    EXPECT_EQ(form.Tag1_Album->text(), QStringLiteral("Lagu Senja"));
    EXPECT_EQ(form.Tag1_Year->text(), QStringLiteral("1998"));
    EXPECT_EQ(form.Tag1_Genre->currentText(), QStringLiteral("Rock"));
    EXPECT_EQ(form.Tag1_Comment->text(), QStringLiteral("Baris satu\nBaris dua"));

    form.btnUndo->click();
    form.cbID3v2Tag->setChecked(false);
    form.btnCopyFrom->click();
    EXPECT_TRUE(form.cbID3v2Tag->isChecked());
    EXPECT_TRUE(form.Tag2_Title->isEnabled());
    EXPECT_TRUE(form.btnCopyTo->isEnabled());
    EXPECT_EQ(form.Tag2_TrackNo->text(), QStringLiteral("5"));
    EXPECT_EQ(form.Tag2_Title->text(), QStringLiteral("Café"));
    EXPECT_EQ(form.Tag2_Artist->text(), QStringLiteral("Sari"));
    EXPECT_EQ(form.Tag2_Album->text(), QStringLiteral("Senja"));
    EXPECT_EQ(form.Tag2_Year->text(), QStringLiteral("1997"));
    EXPECT_EQ(form.Tag2_Genre->currentText(), QStringLiteral("Jazz"));
    EXPECT_EQ(form.Tag2_Comment->toPlainText(), QStringLiteral("Satu"));

    // The empty ID3v1 entry leaves the ID3v2 genre empty.
    form.Tag1_Genre->setCurrentIndex(0);
    form.btnCopyFrom->click();
    EXPECT_EQ(form.Tag2_Genre->currentIndex(), -1);
    EXPECT_EQ(form.Tag2_Genre->currentText(), QString());
}

TEST_F(MpegInfoFormTest, UpdateWritesBothTags) {
    const QString path = Tagged();
    TMPEGFileInfoForm& form = Open(path);
    form.Tag1_Title->setText(QStringLiteral("€uro Café ☃"));
    form.Tag1_TrackNo->setText(QStringLiteral("12"));
    form.Tag1_Genre->setCurrentIndex(form.Tag1_Genre->findText(QStringLiteral("Blues")));
    form.Tag2_Title->setText(QStringLiteral("  Judul Баллада ☃  "));
    form.Tag2_TrackNo->setText(QStringLiteral("9"));
    form.Tag2_Genre->setCurrentIndex(form.Tag2_Genre->findText(QStringLiteral("Pop")));
    form.Tag2_Comment->setPlainText(QStringLiteral("Satu\nDua"));
    form.Tag2_Composer->setText(QStringLiteral("Komponis"));
    form.btnUpdate->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(messages_.Requests.empty());

    const auto mpeg = Reread(path);
    EXPECT_EQ(mpeg->ID3v1.Title(), "€uro Café ?");
    EXPECT_EQ(mpeg->ID3v1.Track(), 12);
    EXPECT_EQ(mpeg->ID3v1.GenreIndex(), 0);  // Blues
    EXPECT_EQ(mpeg->ID3v1.Artist(), "Sari");
    EXPECT_EQ(mpeg->ID3v2.Title(), u"Judul Баллада ☃");
    EXPECT_EQ(mpeg->ID3v2.TrackNo(), 9);
    EXPECT_EQ(mpeg->ID3v2.Genre(), u"Pop");
    EXPECT_EQ(mpeg->ID3v2.Comment(), u"Satu\nDua");
    EXPECT_EQ(mpeg->ID3v2.Composer(), u"Komponis");
    EXPECT_EQ(mpeg->ID3v2.URL(), u"http://example.org/senja");
    EXPECT_EQ(mpeg->ID3v2.MajorVersion(), 3);

    // ID3v1 text is Windows-1252 in the file: the euro sign is byte 0x80.
    const QByteArray bytes = ReadQFile(path);
    const QByteArray tag = bytes.right(128);
    ASSERT_TRUE(tag.startsWith("TAG"));
    EXPECT_EQ(tag.mid(3, 11), QByteArray("\x80uro Caf\xE9 ?"));

    TagLib::MPEG::File file(path.toUtf8().constData());
    ASSERT_TRUE(file.hasID3v1Tag());
    ASSERT_TRUE(file.hasID3v2Tag());
    EXPECT_EQ(Q(file.ID3v2Tag()->title()), QStringLiteral("Judul Баллада ☃"));
    EXPECT_EQ(Q(file.ID3v2Tag()->genre()), QStringLiteral("Pop"));
    EXPECT_EQ(file.ID3v2Tag()->track(), 9u);
    EXPECT_EQ(Q(file.ID3v1Tag()->artist()), QStringLiteral("Sari"));
    EXPECT_EQ(file.ID3v1Tag()->track(), 12u);
    EXPECT_EQ(Q(file.ID3v1Tag()->genre()), QStringLiteral("Blues"));
}

TEST_F(MpegInfoFormTest, UntickingStripsAndTickingAddsATag) {
    struct Case {
        const char* name;
        bool tagged;
        bool wantV1;
        bool wantV2;
    };
    const Case cases[] = {
        {"strip v2", true, true, false},    {"strip v1", true, false, true},
        {"strip both", true, false, false}, {"add v2", false, false, true},
        {"add v1", false, true, false},     {"add both", false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.tagged ? Tagged() : Untagged();
        TMPEGFileInfoForm& form = Open(path);
        form.cbID3v1Tag->setChecked(c.wantV1);
        form.cbID3v2Tag->setChecked(c.wantV2);
        form.btnUpdate->click();
        EXPECT_TRUE(messages_.Requests.empty());

        const auto mpeg = Reread(path);
        EXPECT_EQ(mpeg->ID3v1.TagPresent(), c.wantV1);
        EXPECT_EQ(mpeg->ID3v2.Present(), c.wantV2);
        EXPECT_TRUE(mpeg->Frame.Found);
        const QByteArray bytes = ReadQFile(path);
        EXPECT_EQ(bytes.startsWith("ID3"), c.wantV2);
        if (!c.tagged && c.wantV2) {
            // Header and padding only: every field empty.
            EXPECT_TRUE(mpeg->ID3v2.Title().empty());
            EXPECT_GT(mpeg->ID3v2.TagSize(), 10);
            TagLib::MPEG::File file(path.toUtf8().constData());
            EXPECT_TRUE(file.isValid());
            EXPECT_TRUE(file.hasID3v2Tag());
            ASSERT_NE(file.ID3v2Tag(), nullptr);
            EXPECT_TRUE(file.ID3v2Tag()->isEmpty());
        }
        if (c.tagged && c.wantV2) {
            EXPECT_EQ(mpeg->ID3v2.Title(), u"Ωmega ☃ Lagu");
        }
        if (!c.tagged && c.wantV1) {
            EXPECT_EQ(mpeg->ID3v1.GenreIndex(), 148);
        }
    }
}

TEST_F(MpegInfoFormTest, FreeGenreAndTrackNumberRules) {
    const QString path = Tagged();
    TMPEGFileInfoForm& form = Open(path);
    form.Tag2_Genre->setEditText(QStringLiteral("Keroncong Asli"));
    form.btnCopyTo->click();
    EXPECT_EQ(form.Tag1_Genre->currentIndex(), 0);
    form.Tag1_TrackNo->setText(QStringLiteral("300"));
    form.Tag2_TrackNo->setText(QStringLiteral("not a number"));
    form.btnUpdate->click();

    const auto mpeg = Reread(path);
    EXPECT_EQ(mpeg->ID3v2.Genre(), u"Keroncong Asli");
    EXPECT_EQ(mpeg->ID3v1.GenreIndex(), 148);
    EXPECT_EQ(mpeg->ID3v1.Track(), 44);
    EXPECT_EQ(mpeg->ID3v2.TrackNo(), 0);
    TagLib::MPEG::File file(path.toUtf8().constData());
    EXPECT_EQ(Q(file.ID3v2Tag()->genre()), QStringLiteral("Keroncong Asli"));
}

TEST_F(MpegInfoFormTest, NothingToShowMeansEverythingOffAndNothingWritten) {
    struct Case {
        const char* source;
        bool strip;
    };
    // A file with neither tag, and a file without an MPEG frame.
    const Case cases[] = {{"media/tone.mp3", true}, {"media/unplayable.mp3", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const QString path = files_.Copy(c.source, QStringLiteral("bare.mp3"));
        if (c.strip) {
            StripAllTags(path);
        }
        const QByteArray before = ReadQFile(path);
        TMPEGFileInfoForm& form = Open(path);
        EXPECT_FALSE(form.HadID3v1);
        EXPECT_FALSE(form.HadID3v2);
        EXPECT_FALSE(form.cbID3v1Tag->isChecked());
        EXPECT_FALSE(form.cbID3v2Tag->isChecked());
        EXPECT_TRUE(form.cbID3v1Tag->isEnabled());
        EXPECT_TRUE(form.cbID3v2Tag->isEnabled());
        EXPECT_FALSE(form.btnCopyTo->isEnabled());
        EXPECT_FALSE(form.btnCopyFrom->isEnabled());
        for (QWidget* field : std::initializer_list<QWidget*>{
                 form.Tag1_TrackNo, form.Tag1_Title, form.Tag1_Genre, form.Tag1_Comment,
                 form.Tag2_TrackNo, form.Tag2_Title, form.Tag2_Genre, form.Tag2_Comment,
                 form.Tag2_Encodedby}) {
            EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
            EXPECT_EQ(field->palette().color(QPalette::Base),
                      QApplication::palette().color(QPalette::Button));
        }
        EXPECT_EQ(form.Tag1_Title->text(), QString());
        EXPECT_EQ(form.Tag2_Comment->toPlainText(), QString());
        if (!c.strip) {
            EXPECT_EQ(form.lbType->text(), QStringLiteral("MPEG ? Layer ?"));
            EXPECT_EQ(form.lbFreq_Channels->text(), QStringLiteral("0Hz Unknown"));
            EXPECT_EQ(form.lbBitFrame->text(), QStringLiteral("0kbit, 0 frames"));
        }
        form.btnUpdate->click();
        EXPECT_EQ(ReadQFile(path), before);
    }
}

TEST_F(MpegInfoFormTest, FailedWritesSayWhichTagAndStillClose) {
    struct Case {
        const char* name;
        bool tagged;
        bool tickV2;
        const char* message;
    };
    const Case cases[] = {
        {"rewrite", true, true, "Can't reconstruct ID3v2 tag of an opened MPEG file."},
        {"add", false, true, "Can't add ID3v2 tag to an opened MPEG file."},
        {"remove", true, false, "Can't remove ID3v2 tag of an opened MPEG file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.tagged ? Tagged() : Untagged();
        TMPEGFileInfoForm& form = Open(path);
        form.cbID3v2Tag->setChecked(c.tickV2);
        form.cbID3v1Tag->setChecked(false);
        form.Tag2_Title->setText(QStringLiteral("new"));
        const QByteArray before = ReadQFile(path);
        // Another program holds the file and shares nothing.
        const THandle holder = UniOpenFile(path.toStdU16String(), fmOpenRead | fmShareExclusive);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        messages_.Requests.clear();
        form.btnUpdate->click();
        UniCloseHandle(holder);
        ASSERT_EQ(messages_.Requests.size(), 1u);
        EXPECT_EQ(messages_.Requests[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(messages_.Requests[0].caption, TApplication::instance().Title());
        EXPECT_EQ(messages_.Requests[0].buttons, QMessageBox::Ok);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(ReadQFile(path), before);
    }
}

TEST_F(MpegInfoFormTest, TypingIntoTheId3v1GenreIsSwallowed) {
    TMPEGFileInfoForm& form = Open(Tagged());
    const int before = form.Tag1_Genre->currentIndex();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_R, Qt::NoModifier, QStringLiteral("r"));
    QApplication::sendEvent(form.Tag1_Genre, &press);
    QApplication::sendEvent(form.Tag1_Genre->view(), &press);
    EXPECT_EQ(form.Tag1_Genre->currentIndex(), before);
    QChar key(u'x');
    form.Tag1_GenreKeyPress(key);
    EXPECT_TRUE(key.isNull());
}

TEST_F(MpegInfoFormTest, CancelWritesNothing) {
    const QString path = Tagged();
    const QByteArray before = ReadQFile(path);
    TMPEGFileInfoForm& form = Open(path);
    form.Tag1_Title->setText(QStringLiteral("x"));
    form.cbID3v2Tag->setChecked(false);
    form.btnCancel->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(ReadQFile(path), before);
}

}  // namespace
