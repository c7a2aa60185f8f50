// What both tag editors do alike: one load per showing, and Esc does nothing.
#include "infobox/teditordialog.h"

#include "analysis/tmpegaudio.h"
#include "analysis/twmafile.h"
#include "infobox/tmpegfileinfoform.h"
#include "infobox/twmainfoform.h"
#include "tests/infobox/infoboxtestfiles.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>

#include <functional>
#include <memory>

namespace {

using Editor = std::pair<std::unique_ptr<TEditorDialog>, QLineEdit*>;

// An editor given its file and reader, and the field the test edits.
template <typename Form, typename Reader>
Editor MakeEditor(const QString& file, Reader* reader, QLineEdit* Form::*field) {
    auto form = std::make_unique<Form>();
    form->SetFile(file, reader);
    QLineEdit* edit = (*form).*field;
    return {std::move(form), edit};
}

TEST(EditorDialog, RestoringKeepsTheEditsAndEscDoesNothing) {
    TestApplication();
    TTempFiles files;
    TMessageCapture messages;
    const QString mp3 = files.Copy("media/tone.mp3", QStringLiteral("tone.mp3"));
    const QString wma = files.Copy("wma/tagged.wma", QStringLiteral("tagged.wma"));
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.Analyse(mp3.toStdU16String()));
    TWMAfile wmaFile;
    wmaFile.Analyse(wma.toUtf8().toStdString());

    struct Case {
        const char* name;
        std::function<Editor()> make;
    };
    const Case cases[] = {
        {"MPEG", [&] { return MakeEditor(mp3, &mpeg, &TMPEGFileInfoForm::Tag2_Title); }},
        {"WMA", [&] { return MakeEditor(wma, &wmaFile, &TWMAInfoForm::fTitle); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto [form, field] = c.make();
        form->show();
        const QString loaded = field->text();
        field->setText(QStringLiteral("edited, not saved"));

        // Minimised and restored: the window system shows it again, which is no new showing.
        form->showMinimized();
        QCoreApplication::processEvents();
        form->showNormal();
        QCoreApplication::processEvents();
        EXPECT_EQ(field->text(), QStringLiteral("edited, not saved"));

        field->setFocus();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &escape);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(field->text(), QStringLiteral("edited, not saved"));

        // A new showing loads the file again.
        form->hide();
        form->show();
        EXPECT_EQ(field->text(), loaded);
    }
    EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
