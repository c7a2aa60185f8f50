#include "infobox/twmainfoform.h"

#include "analysis/twmafile.h"
#include "infobox/dialogparts.h"
#include "infobox/fitpathtowidth.h"
#include "platform/filenames.h"
#include "platform/tapplication.h"
#include "tags/textcodec.h"
#include "tags/unifile.h"
#include "tags/wmatags.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr std::size_t kShortTextLength = 255;
const QString kCrLf = QStringLiteral("\r\n");

// A short attribute as stored: UTF-8, at most 255 characters.
std::string ShortText(const QLineEdit* edit) {
    return Utf8Left(edit->text().toUtf8().toStdString(), kShortTextLength);
}

// "#,#": digits grouped by thousands with the locale's separator, and no digits at all for 0.
QString GroupedNumber(std::int64_t value) {
    if (value == 0) {
        return {};
    }
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(static_cast<qlonglong>(value));
}

// The module's messages as the program's message boxes.
TWmaHost DialogHost(QWidget* parent) {
    return TWmaHost{[parent](TWmaMessageKind kind, const std::string& text) {
        TApplication& application = TApplication::instance();
        application.messageBox(
            {parent, kind == TWmaMessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
             application.Title(), FromUtf8(text), QMessageBox::Ok});
    }};
}

QLineEdit* MakeTagEdit(QWidget* parent, const char* name, const QRect& geometry) {
    QLineEdit* edit = MakeEdit(parent, name, geometry);
    edit->setFont(PixelFont(QStringLiteral("Arial"), 12));
    // Flat fields with a single line border.
    edit->setStyleSheet(QStringLiteral(
        "QLineEdit { border: 1px solid #808080; background: white; color: #000080; }"));
    return edit;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QRect& geometry) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setGeometry(geometry);
    memo->setFont(PixelFont(QStringLiteral("Arial"), 12));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setFrameShape(QFrame::Box);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, clNavy);
    memo->setPalette(palette);
    return memo;
}

}  // namespace

TWMAInfoForm::TWMAInfoForm(QWidget* parent) : TEditorDialog(parent) {
    setObjectName(QStringLiteral("WMAInfoForm"));
    SetUpDialog(this, QStringLiteral("Tovra III [WMA info + tag editor]"), 616, 421,
                PixelFont(QStringLiteral("MS Sans Serif"), 11));
    const QFont arial12 = PixelFont(QStringLiteral("Arial"), 12);

    Label4 = MakeCaptionLabel(this, "Label4", QStringLiteral("File/URL :"), 12, 13, arial12);
    fFileName = MakePathLabel(this, "fFileName", QRect(72, 13, 529, 15), arial12);

    GroupBox3 = MakeGroup(this, "GroupBox3", QStringLiteral(" WMA info "), QRect(22, 33, 248, 125));
    struct InfoLine {
        QLabel** label;
        const char* name;
        int top;
    };
    const InfoLine lines[] = {
        {&lbSize, "lbSize", 15},         {&lbLength, "lbLength", 30},
        {&lbBitrate, "lbBitrate", 46},   {&lbSamplingrate, "lbSamplingrate", 61},
        {&lbChannels, "lbChannels", 76}, {&lbVBR, "lbVBR", 92},
        {&lbVersion, "lbVersion", 107}};
    for (const InfoLine& line : lines) {
        *line.label = MakeInfoLabel(GroupBox3, line.name, QRect(16, line.top, 226, 14));
    }

    struct Field {
        QLineEdit** edit;
        const char* labelName;
        const char* caption;
        QPoint labelAt;
        const char* name;
        QRect geometry;
    };
    const Field fields[] = {
        {&fEncoder, "Label3", "Encoder:", {15, 169}, "fEncoder", {67, 166, 148, 20}},
        {&fGenre, "Label1", "Genre:", {15, 192}, "fGenre", {67, 188, 148, 20}},
        {&fArtist, "Label9", "Artist:", {15, 214}, "fArtist", {67, 210, 234, 20}},
        {&fComposer, "Label5", "Composer:", {15, 235}, "fComposer", {67, 231, 234, 20}},
        {&fTitle, "Label11", "Title:", {15, 257}, "fTitle", {67, 253, 234, 20}},
        {&fAlbum, "Label13", "Album:", {15, 278}, "fAlbum", {67, 275, 234, 20}},
        {&fYear, "Label10", "Year:", {15, 300}, "fYear", {67, 297, 42, 20}},
        {&fTrack, "Label14", "Track:", {177, 300}, "fTrack", {216, 297, 30, 20}},
        {&fUrl, "Label6", "Url:", {15, 321}, "fUrl", {67, 318, 234, 20}},
        {&fCopyright, "Label7", "Copyright:", {15, 343}, "fCopyright", {67, 340, 234, 20}},
    };
    for (const Field& field : fields) {
        MakeLabel(this, field.labelName, QString::fromLatin1(field.caption), field.labelAt.x(),
                  field.labelAt.y());
        *field.edit = MakeTagEdit(this, field.name, field.geometry);
    }
    MakeLabel(this, "Label16", QStringLiteral("Comments:"), 326, 29);
    fComments = MakeMemo(this, "fComments", QRect(324, 45, 281, 112));
    MakeLabel(this, "Label2", QStringLiteral("Lyrics:"), 326, 166);
    fLyrics = MakeMemo(this, "fLyrics", QRect(324, 183, 281, 177));

    btnUpdate = MakeButton(this, "btnUpdate", QStringLiteral("Update"), QRect(386, 378, 75, 25));
    btnUpdate->setEnabled(false);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"), QRect(482, 378, 75, 25));

    Label18 =
        MakeLabel(this, "Label18", QStringLiteral("WMA tag code written for Tovra III,"), 18, 369);
    Label8 =
        MakeLabel(this, "Label8", QStringLiteral("adapted to the ASF attribute module"), 20, 385);
    Label20 = MakeLabel(this, "Label20", QStringLiteral("by the Tovra III developers."), 19, 402);

    QWidget* const tabOrder[] = {fEncoder, fArtist,   fTitle, fAlbum,     fYear,
                                 fTrack,   fComments, fGenre, btnUpdate,  btnCancel,
                                 fLyrics,  fComposer, fUrl,   fCopyright, GroupBox3};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(btnUpdate, &QPushButton::clicked, this,
            guarded([this](bool) { btnUpdateClick(); }, this));
    connect(btnCancel, &QPushButton::clicked, this,
            guarded([this](bool) { btnCancelClick(); }, this));
    KeepDialogFont(this);
    FormCreate();
}

void TWMAInfoForm::SetFile(const QString& fileName, TWMAfile* wmaFile) {
    InfoFileName = fileName;
    InfoWmaFile = wmaFile;
}

void TWMAInfoForm::ClearAll() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->clear();
    }
    for (QPlainTextEdit* memo : findChildren<QPlainTextEdit*>()) {
        memo->clear();
    }
}

void TWMAInfoForm::FormShow() {
    ClearAll();
    fFileName->setText(FitPathToWidth(InfoFileName, fFileName->fontMetrics(), fFileName->width()));
    const int sampleRate = InfoWmaFile != nullptr ? InfoWmaFile->SampleRate : 0;
    const int channels = InfoWmaFile != nullptr ? InfoWmaFile->Channels : 0;
    lbSamplingrate->setText(QStringLiteral("Samplingrate: ") + QString::number(sampleRate) +
                            QStringLiteral(" Hz"));
    lbChannels->setText(QStringLiteral("Channels: ") + QString::number(channels));

    TTagsData tags;
    // The name's own bytes, so a name that is not UTF-8 loads its file and not a look-alike.
    QByteArray native;
    const bool named = NativeFromName(InfoFileName, native);
    const std::string fileName = native.toStdString();
    // Update writes to the file the tag unit loaded last; a file gone since it was listed is not
    // loaded, so Update stays off rather than write to an earlier file.
    const bool exists = named && UniFileExists(InfoFileName.toStdU16String());
    btnUpdate->setEnabled(exists);
    if (exists) {
        LoadWmaTags(fileName, tags, DialogHost(this));
    }
    ShowTags(tags);
}

void TWMAInfoForm::ShowTags(const TTagsData& tags) {
    lbSize->setText(QStringLiteral("File Size: ") + GroupedNumber(tags.FileSize) +
                    QStringLiteral(" bytes"));
    lbLength->setText(QStringLiteral("Length: ") +
                      FromUtf8(FormatMsDuration(true, tags.DurationMs)) + QStringLiteral(" sec"));
    lbBitrate->setText(QStringLiteral("Bitrate: ") + QString::number(tags.Bitrate / 1000) +
                       QStringLiteral(" KBPS"));
    lbVBR->setText(tags.IsVbr ? QStringLiteral("VBR: Yes") : QStringLiteral("VBR: No"));
    lbVersion->setText(QStringLiteral("WMFSDK Version: ") + FromUtf8(tags.SdkVersion));
    fEncoder->setText(FromUtf8(tags.EncodedBy));
    fGenre->setText(FromUtf8(tags.Genre));
    fArtist->setText(FromUtf8(tags.Author));
    fComposer->setText(FromUtf8(tags.Composer));
    fTitle->setText(FromUtf8(tags.Title));
    fAlbum->setText(FromUtf8(tags.AlbumTitle));
    fYear->setText(FromUtf8(tags.Year));
    fTrack->setText(FromUtf8(tags.TrackNumber));
    fUrl->setText(FromUtf8(tags.Url));
    SetMemoText(fComments, QString::fromStdU16String(tags.Description));
    SetMemoText(fLyrics, QString::fromStdU16String(tags.Lyrics));
    fCopyright->setText(FromUtf8(tags.Copyright));
}

void TWMAInfoForm::btnUpdateClick() {
    // Never write to a file other than the one shown.
    if (!btnUpdate->isEnabled() || CurrentWmaFile != InfoFileName.toStdU16String()) {
        return;
    }
    TTagsData tags;
    tags.EncodedBy = ShortText(fEncoder);
    tags.Genre = ShortText(fGenre);
    tags.Author = ShortText(fArtist);
    tags.Composer = ShortText(fComposer);
    tags.Title = ShortText(fTitle);
    tags.AlbumTitle = ShortText(fAlbum);
    tags.Year = ShortText(fYear);
    tags.TrackNumber = ShortText(fTrack);
    tags.Url = ShortText(fUrl);
    tags.Description = MemoText(fComments, kCrLf).toStdU16String();
    tags.Lyrics = MemoText(fLyrics, kCrLf).toStdU16String();
    tags.Copyright = ShortText(fCopyright);
    SaveWmaTags(tags, DialogHost(this));
    accept();
}

void TWMAInfoForm::btnCancelClick() {
    reject();
}
