#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class TWAVfile;

// The WAV info box: the figures of a canonical WAV header. One instance lives from start-up to the
// end and is shown again for every request. The labels keep the names of the MPEG info box
// although they show other facts.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    // Fills the labels for a file from its header reader (which has already analysed it).
    void ShowWavInfo(const QString& path, const TWAVfile& wav);

    QLabel* Label1;
    QLabel* Filename;
    QGroupBox* GroupBox3;
    QLabel* lbSize;
    QLabel* lbHeaderPos;
    QLabel* lbLength;
    QLabel* lbType;
    QLabel* lbBitFrame;
    QLabel* Label2;
    QPushButton* BitBtn1;

    void BitBtn1Click();
};
