#pragma once

#include <QString>

#include "infobox/teditordialog.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TID3v1;
class TID3v2;
class TMPEGaudio;

// The MPEG info box and ID3 tag editor: the stream facts of an MPEG audio file and its ID3v1 and
// ID3v2 tags side by side. The dialog reads nothing itself: it shows the analyser it is given,
// edits that analyser's tag objects and asks them to write or strip their tags on Update. Between
// showing and Update the tag objects stay as read, which is what Undo reloads from.
class TMPEGFileInfoForm : public TEditorDialog {
    Q_OBJECT

public:
    explicit TMPEGFileInfoForm(QWidget* parent = nullptr);

    // The file (full path as the playlist holds it) and its analyser, which has already analysed
    // the file; the analyser stays the caller's and must outlive the showing.
    void SetFile(const QString& fileName, TMPEGaudio* mpegFile);

    QString InfoFileName;
    TMPEGaudio* InfoMpegFile = nullptr;
    // The file had the tag when the fields were last loaded.
    bool HadID3v1 = false;
    bool HadID3v2 = false;

    QLabel* Label19;
    QLabel* fFileName;

    QGroupBox* GroupBox1;
    QCheckBox* cbID3v1Tag;
    QLineEdit* Tag1_TrackNo;
    QLineEdit* Tag1_Title;
    QLineEdit* Tag1_Artist;
    QLineEdit* Tag1_Album;
    QLineEdit* Tag1_Year;
    QComboBox* Tag1_Genre;
    QLineEdit* Tag1_Comment;

    QGroupBox* GroupBox3;
    QLabel* lbSize;
    QLabel* lbHeaderPos;
    QLabel* lbLength;
    QLabel* lbType;
    QLabel* lbBitFrame;
    QLabel* lbFreq_Channels;
    QLabel* lbCRC;
    QLabel* lbCopyrighted;
    QLabel* lbOriginal;
    QLabel* lbEmphasis;

    QGroupBox* GroupBox2;
    QCheckBox* cbID3v2Tag;
    QLineEdit* Tag2_TrackNo;
    QLineEdit* Tag2_Title;
    QLineEdit* Tag2_Artist;
    QLineEdit* Tag2_Album;
    QLineEdit* Tag2_Year;
    QComboBox* Tag2_Genre;
    QPlainTextEdit* Tag2_Comment;
    QLineEdit* Tag2_Composer;
    QLineEdit* Tag2_OrigArtist;
    QLineEdit* Tag2_Copyright;
    QLineEdit* Tag2_URL;
    QLineEdit* Tag2_Encodedby;
    QPushButton* btnCopyTo;
    QPushButton* btnCopyFrom;

    QPushButton* btnUpdate;
    QPushButton* btnCancel;
    QPushButton* btnUndo;

    void FormCreate();
    void FormShow() override;
    void FormDestroy() {}
    void cbID3v1TagClick();
    void cbID3v2TagClick();
    void btnCopyToClick();
    void btnCopyFromClick();
    void btnUpdateClick();
    void btnCancelClick();
    void btnUndoClick();
    // Sets key to 0: the ID3v1 genre is chosen from the list only.
    void Tag1_GenreKeyPress(QChar& key);

    void ShowMpegInfo();
    void LoadTagFields(const TID3v1& id3v1, const TID3v2& id3v2);
    void SetID3v1Enabled(bool enabled);
    void SetID3v2Enabled(bool enabled);
    void StoreID3v1Fields();
    void StoreID3v2Fields();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildID3v1Group();
    void BuildMpegGroup();
    void BuildID3v2Group();
    void BuildButtons();
    // The first of the 148 genre entries of a combo box with that exact text, or -1.
    int FindGenreEntry(const QComboBox* combo, const QString& text) const;

    std::vector<QWidget*> id3v1Fields_;
    std::vector<QWidget*> id3v2Fields_;
    // Line break of the loaded ID3v2 comment, used again when the memo is stored.
    QString commentBreak_;
};
