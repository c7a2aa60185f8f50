#pragma once

#include <QString>

#include "infobox/teditordialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TWMAfile;
struct TTagsData;

// The WMA info and tag editor: stream figures from the header reader and the media-format module,
// and twelve descriptive attributes that Update writes back to the file that was shown.
class TWMAInfoForm : public TEditorDialog {
    Q_OBJECT

public:
    explicit TWMAInfoForm(QWidget* parent = nullptr);

    // The file (full path) and its header reader, which has already analysed it; the reader stays
    // the caller's and must outlive the showing.
    void SetFile(const QString& fileName, TWMAfile* wmaFile);

    QString InfoFileName;
    TWMAfile* InfoWmaFile = nullptr;

    QLabel* Label4;
    QLabel* fFileName;
    QGroupBox* GroupBox3;
    QLabel* lbSize;
    QLabel* lbLength;
    QLabel* lbBitrate;
    QLabel* lbSamplingrate;
    QLabel* lbChannels;
    QLabel* lbVBR;
    QLabel* lbVersion;
    QLineEdit* fEncoder;
    QLineEdit* fGenre;
    QLineEdit* fArtist;
    QLineEdit* fComposer;
    QLineEdit* fTitle;
    QLineEdit* fAlbum;
    QLineEdit* fYear;
    QLineEdit* fTrack;
    QLineEdit* fUrl;
    QLineEdit* fCopyright;
    QPlainTextEdit* fComments;
    QPlainTextEdit* fLyrics;
    QPushButton* btnUpdate;
    QPushButton* btnCancel;
    QLabel* Label18;
    QLabel* Label8;
    QLabel* Label20;

    void FormCreate() {}
    void FormDestroy() {}
    // Loads the file's figures and attributes. A file that no longer exists loads nothing and
    // leaves Update disabled, so this showing can never write to another file.
    void FormShow() override;
    void btnUpdateClick();
    void btnCancelClick();
    // Empties every edit box and memo.
    void ClearAll();

private:
    void ShowTags(const TTagsData& tags);
};
