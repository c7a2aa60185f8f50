#include "infobox/infodispatch.h"

#include "analysis/tmpegaudio.h"
#include "analysis/twavfile.h"
#include "analysis/twmafile.h"
#include "controls/tdndlistbox.h"
#include "infobox/tform2.h"
#include "infobox/tmpegfileinfoform.h"
#include "infobox/twmainfoform.h"
#include "platform/filenames.h"

#include <QListWidget>

#include <memory>
#include <tuple>
#include <utility>

namespace {

constexpr qsizetype kShortestExtension = 3;
constexpr qsizetype kLongestExtension = 5;

// The path's bytes as the header readers take them; a name that stands for no bytes reads as a
// file that is not there.
std::string NativePath(const QString& path) {
    QByteArray native;
    return NativeFromName(path, native) ? native.toStdString() : std::string();
}

QString ChannelsLine(int channels, int sampleRate) {
    return (channels == 1 ? QStringLiteral("Channels : Mono, ")
                          : QStringLiteral("Channels : Stereo, ")) +
           QString::number(sampleRate) + QStringLiteral("Hz");
}

QString BitRateLine(int value, const QString& ending) {
    return QStringLiteral("BitRate    : ") + QString::number(value) + ending;
}

// The channel and bit-rate lines from a WAV or WMA header reader; value is the figure the
// bit-rate line shows.
template <typename Reader, typename Figure>
std::pair<QString, QString> HeaderLines(const QString& fileName, Figure Reader::*value,
                                        const QString& ending) {
    Reader reader;
    reader.Analyse(NativePath(fileName));
    return {ChannelsLine(reader.Channels, static_cast<int>(reader.SampleRate)),
            BitRateLine(static_cast<int>(reader.*value), ending)};
}

}  // namespace

QString ExtensionClass(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < path.lastIndexOf(QLatin1Char('/'))) {
        return {};
    }
    QString extension = path.mid(dot);
    for (QChar& c : extension) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            c = QChar(c.unicode() - u'a' + u'A');
        }
    }
    return extension;
}

TInfoKind InfoKindOf(const QString& path) {
    const QString extension = ExtensionClass(path);
    if (extension.size() < kShortestExtension || extension.size() > kLongestExtension) {
        return TInfoKind::None;
    }
    if (extension == QStringLiteral(".WMA")) {
        return TInfoKind::Wma;
    }
    if (extension == QStringLiteral(".WAV")) {
        return TInfoKind::Wav;
    }
    return TInfoKind::Mpeg;
}

bool FillInfoLines(QListWidget& listBox, const QString& fileName, const QString& titleText) {
    QString channels;
    QString bitRate;
    switch (InfoKindOf(fileName)) {
        case TInfoKind::None:
            return false;
        case TInfoKind::Wav:
            std::tie(channels, bitRate) = HeaderLines(fileName, &TWAVfile::BitsPerSample,
                                                      QStringLiteral(" Kbps, [WAV File]"));
            break;
        case TInfoKind::Wma:
            std::tie(channels, bitRate) =
                HeaderLines(fileName, &TWMAfile::BitRate, QStringLiteral(" Kbps, [WMA File]"));
            break;
        case TInfoKind::Mpeg: {
            TMPEGaudio mpeg;
            mpeg.Analyse(fileName.toStdU16String());
            channels = ChannelsLine(mpeg.Channels(), mpeg.SampleRate());
            bitRate = BitRateLine(mpeg.BitRate(), QStringLiteral(" Kbps"));
            break;
        }
    }
    listBox.clear();
    listBox.addItems({QStringLiteral("Title : ") + titleText, QString(), channels, bitRate});
    return true;
}

TInfoKind RunInfoBox(const QString& path, QWidget* owner, TForm2& form2) {
    const TInfoKind kind = InfoKindOf(path);
    switch (kind) {
        case TInfoKind::None:
            break;
        case TInfoKind::Wma: {
            TWMAfile wma;
            wma.Analyse(NativePath(path));
            const auto dialog = std::make_unique<TWMAInfoForm>(owner);
            dialog->SetFile(path, &wma);
            dialog->exec();
            break;
        }
        case TInfoKind::Wav: {
            TWAVfile wav;
            wav.Analyse(NativePath(path));
            form2.ShowWavInfo(path, wav);
            form2.exec();
            break;
        }
        case TInfoKind::Mpeg: {
            TMPEGaudio mpeg;
            mpeg.Analyse(path.toStdU16String());
            const auto dialog = std::make_unique<TMPEGFileInfoForm>(owner);
            dialog->SetFile(path, &mpeg);
            dialog->exec();
            break;
        }
    }
    return kind;
}

TInfoKind RunInfoBoxForSelection(TDnDListBox& list1, const TDnDListBox& List2, QWidget* owner,
                                 TForm2& form2) {
    const int index = List2.ItemIndex();
    list1.SetItemIndex(index);
    if (index < 0 || index >= list1.Count()) {
        return TInfoKind::None;
    }
    return RunInfoBox(list1.Strings(index), owner, form2);
}
