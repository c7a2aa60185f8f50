#include "infobox/tform2.h"

#include "analysis/twavfile.h"
#include "infobox/dialogparts.h"
#include "platform/tapplication.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    SetUpDialog(this, QStringLiteral("Tovra III [WAV Info Box]"), 360, 177,
                PixelFont(QStringLiteral("Tahoma"), 11));
    // Only the close box.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    const QFont tahoma10 = PixelFont(QStringLiteral("Tahoma"), 13);
    Label1 = MakeCaptionLabel(this, "Label1", QStringLiteral("File :"), 8, 10, tahoma10);
    Filename = MakePathLabel(this, "Filename", QRect(44, 10, 313, 25), tahoma10);

    GroupBox3 = MakeGroup(this, "GroupBox3", QStringLiteral("WAV info "), QRect(8, 38, 344, 96));
    QLabel** labels[] = {&lbSize, &lbHeaderPos, &lbLength, &lbType, &lbBitFrame};
    const char* names[] = {"lbSize", "lbHeaderPos", "lbLength", "lbType", "lbBitFrame"};
    for (int i = 0; i < 5; ++i) {
        *labels[i] = MakeInfoLabel(GroupBox3, names[i], QRect(14, 17 + 15 * i, 320, 14));
    }

    Label2 = MakeLabel(this, "Label2", QStringLiteral("Tovra III - WAV header reader"), 8, 150);
    BitBtn1 = MakeButton(this, "BitBtn1", QStringLiteral("Close"), QRect(272, 142, 80, 27));
    KeepDialogFont(this);
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this](bool) { BitBtn1Click(); }, this));
}

void TForm2::ShowWavInfo(const QString& path, const TWAVfile& wav) {
    Filename->setText(path);
    lbSize->setText(QStringLiteral("Size : ") + QString::number(wav.FileSize));
    lbHeaderPos->setText(QStringLiteral("Sample Rate : ") + QString::number(wav.SampleRate) +
                         QStringLiteral(" Hz"));
    lbLength->setText(QStringLiteral("Channels ID : ") + QString::number(wav.Channels));
    lbType->setText(QStringLiteral("Type : WAV File"));
    // The header's bits per sample, shown on the bit-rate line.
    lbBitFrame->setText(QStringLiteral("Bit Rate : ") + QString::number(wav.BitsPerSample) +
                        QStringLiteral(" Kbps"));
}

void TForm2::BitBtn1Click() {
    accept();
}
