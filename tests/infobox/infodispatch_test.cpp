// The extension dispatch, the info-panel lines and the WAV info box, on real files; the modal
// dialogs are inspected and closed by a timer that runs inside their event loop.
#include "infobox/infodispatch.h"

#include "analysis/twavfile.h"
#include "controls/tdndlistbox.h"
#include "infobox/tform2.h"
#include "infobox/tmpegfileinfoform.h"
#include "infobox/twmainfoform.h"
#include "tests/infobox/infoboxtestfiles.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

// Closes every modal dialog as soon as its event loop runs, after noting its class and letting
// the test look at it.
class TModalCloser {
public:
    explicit TModalCloser(std::function<void(QDialog&)> inspect = {})
        : inspect_(std::move(inspect)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                Shown.push_back(QString::fromLatin1(dialog->metaObject()->className()));
                if (inspect_) {
                    inspect_(*dialog);
                }
                dialog->reject();
            }
        });
        timer_.start();
    }

    std::vector<QString> Shown;

private:
    std::function<void(QDialog&)> inspect_;
    QTimer timer_;
};

QStringList Lines(const QListWidget& list) {
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) {
        lines.append(list.item(i)->text());
    }
    return lines;
}

TEST(InfoDispatch, ExtensionClassAndKind) {
    struct Case {
        const char* path;
        const char* extension;
        TInfoKind kind;
    };
    const Case cases[] = {
        {"/music/song.mp3", ".MP3", TInfoKind::Mpeg},
        {"/music/song.mpeg", ".MPEG", TInfoKind::Mpeg},
        {"/music/song.Mp2", ".MP2", TInfoKind::Mpeg},
        {"/music/song.WAV", ".WAV", TInfoKind::Wav},
        {"/music/song.wav", ".WAV", TInfoKind::Wav},
        {"/music/song.wma", ".WMA", TInfoKind::Wma},
        {"/music/clip.wmv", ".WMV", TInfoKind::Mpeg},
        {"/music/tune.mid", ".MID", TInfoKind::Mpeg},
        {"/music/clip.avi", ".AVI", TInfoKind::Mpeg},
        {"/music/song.ab", ".AB", TInfoKind::Mpeg},
        {"/music/song.a", ".A", TInfoKind::None},
        {"/music/song.", ".", TInfoKind::None},
        {"/music/song.mpeg4", ".MPEG4", TInfoKind::None},
        {"/music/song", "", TInfoKind::None},
        {"/music/album.v2/song", "", TInfoKind::None},
        {"/music/.hidden", ".HIDDEN", TInfoKind::None},
        // Backslashes and colons are ordinary name characters here.
        {"/music/a\\b.mp3", ".MP3", TInfoKind::Mpeg},
        {"/music/c:song.ogg", ".OGG", TInfoKind::Mpeg},
        {"/music/song.mp3\\x", ".MP3\\X", TInfoKind::None},
        // Only ASCII letters change case.
        {"/music/song.wäv", ".WäV", TInfoKind::Mpeg},
        {"", "", TInfoKind::None},
    };
    for (const Case& c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(ExtensionClass(path), QString::fromUtf8(c.extension)) << c.path;
        EXPECT_EQ(InfoKindOf(path), c.kind) << c.path;
    }
}

TEST(InfoDispatch, WavBoxLayoutAndLabels) {
    TestApplication();
    TForm2 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tovra III [WAV Info Box]"));
    EXPECT_EQ(form.size(), QSize(360, 177));
    EXPECT_EQ(form.Filename->size(), QSize(313, 25));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("File :"));
    EXPECT_EQ(form.GroupBox3->title(), QStringLiteral("WAV info "));
    EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("Close"));
    for (const QWidget* child : form.findChildren<QWidget*>()) {
        EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry()))
            << child->objectName().toStdString();
    }

    const QString path = DataFile("infobox/cd-stereo.wav");
    TWAVfile wav;
    ASSERT_TRUE(wav.Analyse(path.toUtf8().toStdString()));
    form.ShowWavInfo(path, wav);
    EXPECT_EQ(form.Filename->text(), path);
    EXPECT_EQ(form.lbSize->text(), QStringLiteral("Size : 44144"));
    EXPECT_EQ(form.lbHeaderPos->text(), QStringLiteral("Sample Rate : 44100 Hz"));
    EXPECT_EQ(form.lbLength->text(), QStringLiteral("Channels ID : 2"));
    EXPECT_EQ(form.lbType->text(), QStringLiteral("Type : WAV File"));
    EXPECT_EQ(form.lbBitFrame->text(), QStringLiteral("Bit Rate : 16 Kbps"));

    form.show();
    form.BitBtn1->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(InfoDispatch, InfoPanelLines) {
    TestApplication();
    struct Case {
        const char* file;
        const char* channels;
        const char* bitRate;
    };
    const Case cases[] = {
        {"infobox/cd-stereo.wav", "Channels : Stereo, 44100Hz", "BitRate    : 16 Kbps, [WAV File]"},
        {"wma/tagged.wma", "Channels : Stereo, 22050Hz", "BitRate    : 32 Kbps, [WMA File]"},
        {"analysis/wmav1-mono.wma", "Channels : Mono, 22050Hz", "BitRate    : 32 Kbps, [WMA File]"},
        {"media/tone.mp3", "Channels : Stereo, 44100Hz", "BitRate    : 128 Kbps"},
        {"analysis/mpeg2-mono-crc.mp3", "Channels : Mono, 22050Hz", "BitRate    : 32 Kbps"},
        // Not MPEG audio: the analyser's cleared values.
        {"media/tune.mid", "Channels : Stereo, 0Hz", "BitRate    : 0 Kbps"},
    };
    QListWidget panel;
    for (const Case& c : cases) {
        const QString title = QStringLiteral("Lagu ☃          ");
        ASSERT_TRUE(FillInfoLines(panel, DataFile(c.file), title)) << c.file;
        EXPECT_EQ(Lines(panel),
                  (QStringList{QStringLiteral("Title : ") + title, QString(),
                               QString::fromUtf8(c.channels), QString::fromUtf8(c.bitRate)}))
            << c.file;
    }

    // A name without an extension leaves the previous lines.
    const QStringList before = Lines(panel);
    TTempFiles files;
    const QString bare = files.Copy("media/tone.mp3", QStringLiteral("tone"));
    EXPECT_FALSE(FillInfoLines(panel, bare, QStringLiteral("x")));
    EXPECT_FALSE(FillInfoLines(panel, files.Path(QStringLiteral("folder.v1/tone")), QString()));
    EXPECT_EQ(Lines(panel), before);
}

TEST(InfoDispatch, EachExtensionOpensItsDialog) {
    TestApplication();
    TMessageCapture messages;
    TTempFiles files;
    struct Case {
        const char* source;
        const char* name;
        const char* dialog;  // class shown, "" for none
    };
    const Case cases[] = {
        {"media/tone.mp3", "song.mp3", "TMPEGFileInfoForm"},
        {"media/clip.mpeg", "clip.mpeg", "TMPEGFileInfoForm"},
        {"infobox/cd-stereo.wav", "upper.WAV", "TForm2"},
        {"infobox/cd-stereo.wav", "lower.wav", "TForm2"},
        {"wma/tagged.wma", "song.wma", "TWMAInfoForm"},
        {"media/tune.mid", "tune.mid", "TMPEGFileInfoForm"},
        {"media/clip.avi", "clip.avi", "TMPEGFileInfoForm"},
        {"media/clip.wmv", "clip.wmv", "TMPEGFileInfoForm"},
        {"media/tone.mp3", "song.mp3xyz", ""},
        {"media/tone.mp3", "song", ""},
        {"media/tone.mp3", "album.v2/song", ""},
    };
    TForm2 form2;
    QWidget owner;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        const QString path = files.Copy(c.source, name.section(QLatin1Char('/'), -1),
                                        name.section(QLatin1Char('/'), 0, -2));
        QStringList labels;
        TModalCloser closer([&labels](QDialog& dialog) {
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                labels.append(label->text());
            }
        });
        const TInfoKind kind = RunInfoBox(path, &owner, form2);
        EXPECT_EQ(kind == TInfoKind::None, *c.dialog == '\0');
        if (*c.dialog == '\0') {
            EXPECT_TRUE(closer.Shown.empty());
            continue;
        }
        ASSERT_EQ(closer.Shown.size(), 1u);
        EXPECT_EQ(closer.Shown[0], QString::fromLatin1(c.dialog));
        EXPECT_TRUE(labels.contains(path) ||
                    labels.contains(QStringLiteral("Sample Rate : 44100 Hz")) ||
                    !labels.filter(name.section(QLatin1Char('/'), -1)).isEmpty());
        // The MPEG and WMA dialogs are made for the request and gone after it.
        EXPECT_TRUE(owner.findChildren<QDialog*>().isEmpty());
    }
    // A file with no MPEG audio in it shows the analyser's cleared values.
    const QString midi = files.Copy("media/tune.mid", QStringLiteral("cleared.mid"));
    QStringList labels;
    TModalCloser closer([&labels](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            labels.append(label->text());
        }
    });
    RunInfoBox(midi, &owner, form2);
    EXPECT_TRUE(labels.contains(QStringLiteral("MPEG ? Layer ?")));
    EXPECT_TRUE(labels.contains(QStringLiteral("0kbit, 0 frames")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Header found at: 0 bytes")));
    EXPECT_TRUE(messages.Requests.empty());
}

TEST(InfoDispatch, CommandWorksOnTheSelectedEntry) {
    TestApplication();
    TTempFiles files;
    TDnDListBox list1;
    TDnDListBox List2;
    const QString wav = files.Copy("infobox/cd-stereo.wav", QStringLiteral("a.wav"));
    const QString mp3 = files.Copy("media/tone.mp3", QStringLiteral("b.mp3"));
    for (const QString& path : {wav, mp3}) {
        list1.Add(path);
        List2.Add(path.section(QLatin1Char('/'), -1));
    }
    TForm2 form2;
    QWidget owner;
    {
        TModalCloser closer;
        List2.SetItemIndex(-1);
        EXPECT_EQ(RunInfoBoxForSelection(list1, List2, &owner, form2), TInfoKind::None);
        EXPECT_TRUE(closer.Shown.empty());
    }
    {
        TModalCloser closer;
        List2.SetItemIndex(0);
        EXPECT_EQ(RunInfoBoxForSelection(list1, List2, &owner, form2), TInfoKind::Wav);
        EXPECT_EQ(list1.ItemIndex(), 0);
        EXPECT_EQ(form2.Filename->text(), wav);
        ASSERT_EQ(closer.Shown.size(), 1u);
    }
    {
        TModalCloser closer;
        List2.SetItemIndex(1);
        EXPECT_EQ(RunInfoBoxForSelection(list1, List2, &owner, form2), TInfoKind::Mpeg);
        EXPECT_EQ(list1.ItemIndex(), 1);
        ASSERT_EQ(closer.Shown.size(), 1u);
    }
}

}  // namespace
