#include "infobox/tmpegfileinfoform.h"

#include "analysis/tmpegaudio.h"
#include "infobox/dialogparts.h"
#include "infobox/fitpathtowidth.h"
#include "platform/econverterror.h"
#include "platform/strtoint.h"
#include "platform/tapplication.h"
#include "tags/genrenames.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kEditHeight = 19;
constexpr int kRowStep = 21;
constexpr int kFirstRow = 34;
const QString kCrLf = QStringLiteral("\r\n");

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString FromUtf16(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

std::u16string ToUtf16(const QString& text) {
    return text.toStdU16String();
}

QString Number(std::int64_t value) {
    return QString::number(value);
}

// The integer a track box holds, 0 when it holds none; the caller keeps the low bits it needs.
int TrackValue(const QString& text) {
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        return 0;
    }
}

// The 148 genre names as a sorted list box orders them: alphabetically, case ignored.
QStringList SortedGenreNames() {
    QStringList names;
    for (const std::string_view name : GenreNames) {
        names.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QString YesNo(const char* caption, bool value) {
    return QString::fromLatin1(caption) + (value ? QStringLiteral("Yes") : QStringLiteral("No"));
}

QString NameAt(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// A labelled edit in one of the tag groups.
QLineEdit* AddRowEdit(QWidget* group, const QByteArray& name, const char* caption, int row,
                      int editLeft, int width) {
    const int top = kFirstRow + row * kRowStep;
    MakeLabel(group, "", QString::fromLatin1(caption), 10, top + 2);
    return MakeEdit(group, name.constData(), QRect(editLeft, top, width, kEditHeight));
}

// The part both tag groups share: the group, its check box, and track, title, artist, album,
// year and genre, named after the tag version ("GroupBox1", "cbID3v1Tag", "Tag1_Title").
struct TTagRows {
    QGroupBox*& Group;
    QCheckBox*& Check;
    QLineEdit*& TrackNo;
    QLineEdit*& Title;
    QLineEdit*& Artist;
    QLineEdit*& Album;
    QLineEdit*& Year;
    QComboBox*& Genre;
};

void BuildTagRows(QWidget* parent, char version, const QRect& geometry, int editLeft, int width,
                  const TTagRows& rows) {
    const QByteArray v(1, version);
    const QByteArray tag = "Tag" + v + "_";
    rows.Group = MakeGroup(parent, ("GroupBox" + v).constData(),
                           QStringLiteral(" ID3v%1 ").arg(QLatin1Char(version)), geometry);
    rows.Check = new QCheckBox(QStringLiteral("ID3v&%1 Tag").arg(QLatin1Char(version)), rows.Group);
    rows.Check->setObjectName(QString::fromLatin1("cbID3v" + v + "Tag"));
    rows.Check->setGeometry(10, 14, 120, 17);
    rows.TrackNo = AddRowEdit(rows.Group, tag + "TrackNo", "Track #", 0, editLeft, 40);
    rows.Title = AddRowEdit(rows.Group, tag + "Title", "Title", 1, editLeft, width);
    rows.Artist = AddRowEdit(rows.Group, tag + "Artist", "Artist", 2, editLeft, width);
    rows.Album = AddRowEdit(rows.Group, tag + "Album", "Album", 3, editLeft, width);
    rows.Year = AddRowEdit(rows.Group, tag + "Year", "Year", 4, editLeft, 50);
    MakeLabel(rows.Group, "", QStringLiteral("Genre"), 10, kFirstRow + 5 * kRowStep + 2);
    rows.Genre = new QComboBox(rows.Group);
    rows.Genre->setObjectName(QString::fromLatin1(tag + "Genre"));
    rows.Genre->setGeometry(editLeft, kFirstRow + 5 * kRowStep, width, kEditHeight + 1);
    rows.Genre->setMaxVisibleItems(16);
}

}  // namespace

TMPEGFileInfoForm::TMPEGFileInfoForm(QWidget* parent) : TEditorDialog(parent) {
    setObjectName(QStringLiteral("MPEGFileInfoForm"));
    SetUpDialog(this, QStringLiteral("Tovra III [MPEG file info box + ID3 tag editor]"), 570, 399,
                PixelFont(QStringLiteral("MS Sans Serif"), 11));

    const QFont arial9 = PixelFont(QStringLiteral("Arial"), 12);
    Label19 = MakeCaptionLabel(this, "Label19", QStringLiteral("File/URL :"), 8, 8, arial9);
    fFileName = MakePathLabel(this, "fFileName", QRect(76, 8, 486, 15), arial9);

    BuildID3v1Group();
    BuildMpegGroup();
    BuildID3v2Group();
    KeepDialogFont(this);
    BuildButtons();
    FormCreate();
}

void TMPEGFileInfoForm::BuildID3v1Group() {
    constexpr int editLeft = 70;
    BuildTagRows(this, '1', QRect(8, 28, 265, 186), editLeft, 185,
                 {GroupBox1, cbID3v1Tag, Tag1_TrackNo, Tag1_Title, Tag1_Artist, Tag1_Album,
                  Tag1_Year, Tag1_Genre});
    // Typing is swallowed in the box and in its open list alike.
    Tag1_Genre->installEventFilter(this);
    Tag1_Genre->view()->installEventFilter(this);
    Tag1_Comment = AddRowEdit(GroupBox1, "Tag1_Comment", "Comment", 6, editLeft, 185);
    id3v1Fields_ = {Tag1_TrackNo, Tag1_Title, Tag1_Artist, Tag1_Album,
                    Tag1_Year,    Tag1_Genre, Tag1_Comment};

    connect(cbID3v1Tag, &QCheckBox::toggled, this,
            guarded([this](bool) { cbID3v1TagClick(); }, this));
}

void TMPEGFileInfoForm::BuildMpegGroup() {
    GroupBox3 =
        MakeGroup(this, "GroupBox3", QStringLiteral(" MPEG info "), QRect(8, 218, 265, 150));
    QLabel** labels[] = {&lbSize,          &lbHeaderPos, &lbLength,      &lbType,     &lbBitFrame,
                         &lbFreq_Channels, &lbCRC,       &lbCopyrighted, &lbOriginal, &lbEmphasis};
    const char* names[] = {"lbSize",     "lbHeaderPos",     "lbLength", "lbType",
                           "lbBitFrame", "lbFreq_Channels", "lbCRC",    "lbCopyrighted",
                           "lbOriginal", "lbEmphasis"};
    for (int i = 0; i < 10; ++i) {
        *labels[i] = MakeInfoLabel(GroupBox3, names[i], QRect(12, 16 + 13 * i, 245, 13));
    }
}

void TMPEGFileInfoForm::BuildID3v2Group() {
    constexpr int editLeft = 84;
    BuildTagRows(this, '2', QRect(280, 28, 282, 367), editLeft, 188,
                 {GroupBox2, cbID3v2Tag, Tag2_TrackNo, Tag2_Title, Tag2_Artist, Tag2_Album,
                  Tag2_Year, Tag2_Genre});
    Tag2_Genre->setEditable(true);
    Tag2_Genre->setInsertPolicy(QComboBox::NoInsert);

    const int memoTop = kFirstRow + 6 * kRowStep;
    MakeLabel(GroupBox2, "", QStringLiteral("Comment"), 10, memoTop + 2);
    Tag2_Comment = new QPlainTextEdit(GroupBox2);
    Tag2_Comment->setObjectName(QStringLiteral("Tag2_Comment"));
    Tag2_Comment->setGeometry(editLeft, memoTop, 188, 56);

    // The rows below the memo continue after its height.
    const int below = memoTop + 61 - kFirstRow;
    const auto rowEdit = [&](const char* name, const char* caption, int row) {
        const int top = kFirstRow + below + row * kRowStep;
        MakeLabel(GroupBox2, "", QString::fromLatin1(caption), 10, top + 2);
        return MakeEdit(GroupBox2, name, QRect(editLeft, top, 188, kEditHeight));
    };
    Tag2_Composer = rowEdit("Tag2_Composer", "Composer", 0);
    Tag2_OrigArtist = rowEdit("Tag2_OrigArtist", "Orig. Artist", 1);
    Tag2_Copyright = rowEdit("Tag2_Copyright", "Copyright", 2);
    Tag2_URL = rowEdit("Tag2_URL", "URL", 3);
    Tag2_Encodedby = rowEdit("Tag2_Encodedby", "Encoded by", 4);

    btnCopyTo = MakeButton(GroupBox2, "btnCopyTo", QStringLiteral("Copy &to ID3v1"),
                           QRect(10, 334, 128, 23));
    btnCopyFrom = MakeButton(GroupBox2, "btnCopyFrom", QStringLiteral("Copy &from ID3v1"),
                             QRect(144, 334, 128, 23));
    id3v2Fields_ = {Tag2_TrackNo,    Tag2_Title,     Tag2_Artist,  Tag2_Album,
                    Tag2_Year,       Tag2_Genre,     Tag2_Comment, Tag2_Composer,
                    Tag2_OrigArtist, Tag2_Copyright, Tag2_URL,     Tag2_Encodedby};

    connect(cbID3v2Tag, &QCheckBox::toggled, this,
            guarded([this](bool) { cbID3v2TagClick(); }, this));
    connect(btnCopyTo, &QPushButton::clicked, this,
            guarded([this](bool) { btnCopyToClick(); }, this));
    connect(btnCopyFrom, &QPushButton::clicked, this,
            guarded([this](bool) { btnCopyFromClick(); }, this));
}

void TMPEGFileInfoForm::BuildButtons() {
    btnUpdate = MakeButton(this, "btnUpdate", QStringLiteral("&Update"), QRect(8, 372, 75, 23));
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("&Cancel"), QRect(88, 372, 75, 23));
    btnUndo = MakeButton(this, "btnUndo", QStringLiteral("Undo Changes"), QRect(168, 372, 95, 23));
    connect(btnUpdate, &QPushButton::clicked, this,
            guarded([this](bool) { btnUpdateClick(); }, this));
    connect(btnCancel, &QPushButton::clicked, this,
            guarded([this](bool) { btnCancelClick(); }, this));
    connect(btnUndo, &QPushButton::clicked, this, guarded([this](bool) { btnUndoClick(); }, this));
}

void TMPEGFileInfoForm::FormCreate() {
    InfoFileName.clear();
    const QStringList names = SortedGenreNames();
    Tag1_Genre->addItem(QString());
    Tag1_Genre->addItems(names);
    Tag2_Genre->addItems(names);
    Tag1_Genre->setCurrentIndex(-1);
    Tag2_Genre->setCurrentIndex(-1);
    Tag2_Genre->setEditText(QString());
}

void TMPEGFileInfoForm::SetFile(const QString& fileName, TMPEGaudio* mpegFile) {
    InfoFileName = fileName;
    InfoMpegFile = mpegFile;
}

bool TMPEGFileInfoForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Tag1_Genre || watched == Tag1_Genre->view()) &&
        event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text.front().isPrint()) {
            QChar key = text.front();
            Tag1_GenreKeyPress(key);
            if (key.isNull()) {
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMPEGFileInfoForm::FormShow() {
    ShowMpegInfo();
}

void TMPEGFileInfoForm::btnUndoClick() {
    ShowMpegInfo();
}

void TMPEGFileInfoForm::ShowMpegInfo() {
    fFileName->setText(FitPathToWidth(InfoFileName, fFileName->fontMetrics(), fFileName->width()));
    if (InfoMpegFile == nullptr) {
        return;
    }
    const TMPEGaudio& mpeg = *InfoMpegFile;
    const TMPEGFrameInfo& frame = mpeg.Frame;
    lbSize->setText(QStringLiteral("Size: ") + Number(mpeg.FileSize) + QStringLiteral(" bytes"));
    lbHeaderPos->setText(QStringLiteral("Header found at: ") + Number(frame.Position) +
                         QStringLiteral(" bytes"));
    lbLength->setText(QStringLiteral("Length: ") +
                      Number(static_cast<std::int64_t>(mpeg.Duration())) +
                      QStringLiteral(" seconds"));
    lbType->setText(NameAt(MPEGVersionNames.at(frame.VersionIndex & 3)) + QLatin1Char(' ') +
                    NameAt(MPEGLayerNames.at(frame.LayerIndex & 3)));
    lbBitFrame->setText(Number(mpeg.BitRate()) + QStringLiteral("kbit, ") +
                        Number(mpeg.FrameCount()) + QStringLiteral(" frames"));
    lbFreq_Channels->setText(Number(mpeg.SampleRate()) + QStringLiteral("Hz ") +
                             NameAt(mpeg.ChannelModeName()));
    lbCRC->setText(YesNo("CRCs: ", frame.HasCRC));
    lbCopyrighted->setText(YesNo("Copyrighted: ", frame.Copyrighted));
    lbOriginal->setText(YesNo("Original: ", frame.Original));
    lbEmphasis->setText(QStringLiteral("Emphasis: ") +
                        NameAt(EmphasisNames.at(frame.EmphasisIndex & 3)));
    LoadTagFields(mpeg.ID3v1, mpeg.ID3v2);
}

int TMPEGFileInfoForm::FindGenreEntry(const QComboBox* combo, const QString& text) const {
    // Tag1_Genre has the empty entry in front of the 148 names.
    const int first = combo == Tag1_Genre ? 1 : 0;
    for (int i = first; i < first + static_cast<int>(GenreCount) && i < combo->count(); ++i) {
        if (combo->itemText(i) == text) {
            return i;
        }
    }
    return -1;
}

void TMPEGFileInfoForm::LoadTagFields(const TID3v1& id3v1, const TID3v2& id3v2) {
    for (QWidget* field : id3v1Fields_) {
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->clear();
        }
    }
    Tag1_Genre->setCurrentIndex(0);
    for (QWidget* field : id3v2Fields_) {
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->clear();
        }
    }
    Tag2_Comment->clear();
    Tag2_Genre->setCurrentIndex(-1);
    Tag2_Genre->setEditText(QString());
    HadID3v1 = false;
    HadID3v2 = false;
    commentBreak_ = kCrLf;

    if (id3v1.TagPresent()) {
        HadID3v1 = true;
        cbID3v1Tag->setChecked(true);
        SetID3v1Enabled(true);
        Tag1_TrackNo->setText(Number(id3v1.Track()));
        Tag1_Title->setText(FromUtf8(id3v1.Title()));
        Tag1_Artist->setText(FromUtf8(id3v1.Artist()));
        Tag1_Album->setText(FromUtf8(id3v1.Album()));
        Tag1_Year->setText(FromUtf8(id3v1.Year()));
        Tag1_Comment->setText(FromUtf8(id3v1.Comment()));
        if (id3v1.GenreIndex() < GenreCount) {
            const int entry = FindGenreEntry(Tag1_Genre, NameAt(GenreNames[id3v1.GenreIndex()]));
            Tag1_Genre->setCurrentIndex(std::max(entry, 0));
        }
        btnCopyFrom->setEnabled(true);
    } else {
        cbID3v1Tag->setChecked(false);
        SetID3v1Enabled(false);
        btnCopyFrom->setEnabled(false);
    }

    if (!id3v2.Present()) {
        cbID3v2Tag->setChecked(false);
        SetID3v2Enabled(false);
        btnCopyTo->setEnabled(false);
        return;
    }
    HadID3v2 = true;
    cbID3v2Tag->setChecked(true);
    SetID3v2Enabled(true);
    Tag2_TrackNo->setText(Number(id3v2.TrackNo()));
    Tag2_Title->setText(FromUtf16(id3v2.Title()));
    Tag2_Artist->setText(FromUtf16(id3v2.Artist()));
    Tag2_Album->setText(FromUtf16(id3v2.Album()));
    Tag2_Year->setText(FromUtf16(id3v2.Year()));
    const QString genre = FromUtf16(id3v2.Genre());
    Tag2_Genre->setEditText(genre);
    const int entry = FindGenreEntry(Tag2_Genre, genre);
    if (entry >= 0) {
        Tag2_Genre->setCurrentIndex(entry);
    }
    const QString comment = FromUtf16(id3v2.Comment());
    // A comment written with bare line feeds is stored back with them.
    if (comment.contains(QLatin1Char('\n')) && !comment.contains(kCrLf)) {
        commentBreak_ = QStringLiteral("\n");
    }
    SetMemoText(Tag2_Comment, comment);
    Tag2_Composer->setText(FromUtf16(id3v2.Composer()));
    Tag2_OrigArtist->setText(FromUtf16(id3v2.OrigArtist()));
    Tag2_Copyright->setText(FromUtf16(id3v2.Copyright()));
    Tag2_URL->setText(FromUtf16(id3v2.URL()));
    Tag2_Encodedby->setText(FromUtf16(id3v2.EncodedBy()));
    btnCopyTo->setEnabled(true);
}

void TMPEGFileInfoForm::SetID3v1Enabled(bool enabled) {
    for (QWidget* field : id3v1Fields_) {
        SetFieldEnabled(field, enabled);
    }
}

void TMPEGFileInfoForm::SetID3v2Enabled(bool enabled) {
    for (QWidget* field : id3v2Fields_) {
        SetFieldEnabled(field, enabled);
    }
}

void TMPEGFileInfoForm::cbID3v1TagClick() {
    SetID3v1Enabled(cbID3v1Tag->isChecked());
    btnCopyFrom->setEnabled(cbID3v1Tag->isChecked());
}

void TMPEGFileInfoForm::cbID3v2TagClick() {
    SetID3v2Enabled(cbID3v2Tag->isChecked());
    btnCopyTo->setEnabled(cbID3v2Tag->isChecked());
}

void TMPEGFileInfoForm::btnCopyToClick() {
    cbID3v1Tag->setChecked(true);
    SetID3v1Enabled(true);
    Tag1_TrackNo->setText(Tag2_TrackNo->text());
    Tag1_Title->setText(Tag2_Title->text());
    Tag1_Artist->setText(Tag2_Artist->text());
    Tag1_Album->setText(Tag2_Album->text());
    Tag1_Year->setText(Tag2_Year->text());
    Tag1_Genre->setCurrentIndex(std::max(FindGenreEntry(Tag1_Genre, Tag2_Genre->currentText()), 0));
    Tag1_Comment->setText(MemoText(Tag2_Comment, commentBreak_));
    btnCopyFrom->setEnabled(true);
}

void TMPEGFileInfoForm::btnCopyFromClick() {
    cbID3v2Tag->setChecked(true);
    SetID3v2Enabled(true);
    Tag2_TrackNo->setText(Tag1_TrackNo->text());
    Tag2_Title->setText(Tag1_Title->text());
    Tag2_Artist->setText(Tag1_Artist->text());
    Tag2_Album->setText(Tag1_Album->text());
    Tag2_Year->setText(Tag1_Year->text());
    Tag2_Genre->setEditText(QString());
    // The empty entry (or none) gives index -1: no genre.
    Tag2_Genre->setCurrentIndex(std::max(Tag1_Genre->currentIndex(), 0) - 1);
    if (Tag2_Genre->currentIndex() < 0) {
        Tag2_Genre->setEditText(QString());
    }
    SetMemoText(Tag2_Comment, Tag1_Comment->text());
    btnCopyTo->setEnabled(true);
}

void TMPEGFileInfoForm::Tag1_GenreKeyPress(QChar& key) {
    key = QChar();
}

void TMPEGFileInfoForm::StoreID3v1Fields() {
    TID3v1& tag = InfoMpegFile->ID3v1;
    tag.SetTrack(static_cast<std::uint8_t>(TrackValue(Tag1_TrackNo->text()) & 0xFF));
    tag.SetTitle(ToUtf8(Tag1_Title->text()));
    tag.SetArtist(ToUtf8(Tag1_Artist->text()));
    tag.SetAlbum(ToUtf8(Tag1_Album->text()));
    tag.SetComment(ToUtf8(Tag1_Comment->text()));
    tag.SetYear(ToUtf8(Tag1_Year->text()));
    // 148 is the first byte without a name: what a tag without a chosen genre gets.
    std::uint8_t genre = GenreCount;
    if (Tag1_Genre->currentIndex() > 0) {
        const QString name = Tag1_Genre->currentText();
        for (std::size_t i = 0; i < GenreCount; ++i) {
            if (NameAt(GenreNames[i]) == name) {
                genre = static_cast<std::uint8_t>(i);
                break;
            }
        }
    }
    tag.SetGenreIndex(genre);
}

void TMPEGFileInfoForm::StoreID3v2Fields() {
    TID3v2& tag = InfoMpegFile->ID3v2;
    tag.SetTrackNo(static_cast<std::uint16_t>(TrackValue(Tag2_TrackNo->text()) & 0xFFFF));
    tag.SetTitle(ToUtf16(Tag2_Title->text()));
    tag.SetArtist(ToUtf16(Tag2_Artist->text()));
    tag.SetAlbum(ToUtf16(Tag2_Album->text()));
    tag.SetYear(ToUtf16(Tag2_Year->text()));
    tag.SetGenre(ToUtf16(Tag2_Genre->currentText()));
    tag.SetComment(ToUtf16(MemoText(Tag2_Comment, commentBreak_)));
    tag.SetComposer(ToUtf16(Tag2_Composer->text()));
    tag.SetOrigArtist(ToUtf16(Tag2_OrigArtist->text()));
    tag.SetCopyright(ToUtf16(Tag2_Copyright->text()));
    tag.SetURL(ToUtf16(Tag2_URL->text()));
    tag.SetEncodedBy(ToUtf16(Tag2_Encodedby->text()));
}

void TMPEGFileInfoForm::btnUpdateClick() {
    if (InfoMpegFile != nullptr) {
        const std::u16string fileName = ToUtf16(InfoFileName);
        // ID3v1 results are not reported: a failed save or strip leaves the file as it was.
        if (cbID3v1Tag->isChecked()) {
            StoreID3v1Fields();
            InfoMpegFile->ID3v1.Save(fileName);
        } else if (HadID3v1) {
            InfoMpegFile->ID3v1.Strip(fileName);
        }
        TApplication& application = TApplication::instance();
        if (cbID3v2Tag->isChecked()) {
            StoreID3v2Fields();
            if (!InfoMpegFile->ID3v2.SaveTag(fileName)) {
                application.showMessage(
                    HadID3v2 ? QStringLiteral("Can't reconstruct ID3v2 tag of an opened MPEG file.")
                             : QStringLiteral("Can't add ID3v2 tag to an opened MPEG file."),
                    this);
            }
        } else if (HadID3v2) {
            if (!InfoMpegFile->ID3v2.RemoveTag(fileName)) {
                application.showMessage(
                    QStringLiteral("Can't remove ID3v2 tag of an opened MPEG file."), this);
            }
        }
    }
    accept();
}

void TMPEGFileInfoForm::btnCancelClick() {
    reject();
}
