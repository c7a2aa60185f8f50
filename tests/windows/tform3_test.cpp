#include "windows/tform3.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

TEST(Form3Test, EveryLabelReadsAndSitsAsGiven) {
    TestApplication();
    TForm3 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("About Tovra III [Velmo History]"));
    EXPECT_EQ(form.size(), QSize(451, 419));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0, 128, 128));
    EXPECT_EQ(form.Panel2->geometry(), QRect(8, 48, 437, 281));
    EXPECT_EQ(form.Panel2->palette().color(QPalette::Window), QColor(0, 0, 0x80));
    EXPECT_EQ(form.Panel1->geometry(), QRect(8, 338, 353, 73));
    EXPECT_EQ(form.Panel1->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(form.Image1->geometry(), QRect(96, 8, 33, 33));
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Image2->size(), QSize(105, 65));
    EXPECT_FALSE(form.Image2->pixmap().isNull());

    struct Case {
        QLabel* label;
        QWidget* parent;
        QPoint pos;
        const char* text;
    };
    const Case cases[] = {
        {form.Label1, &form, {134, 12}, "Tovra III [Velmo History]"},
        {form.Label5,
         form.Panel2,
         {8, 24},
         "Seri ini adalah Seri terakhir dari Tovra, Itulah sebab Velmo History.."},
        {form.Label9, form.Panel2, {40, 48}, "What New's In Tovra III :"},
        {form.Label10, form.Panel2, {16, 64}, "- Klik Kanan Suport pada Playlist"},
        {form.Label11,
         form.Panel2,
         {16, 80},
         "- Drag n Drop file Multimedia  from Explore To Playlist."},
        {form.Label12, form.Panel2, {16, 96}, "- Playlist Editor."},
        {form.Label13, form.Panel2, {16, 113}, "- Info Box Baru dan lebih komplit."},
        {form.Label14, form.Panel2, {16, 128}, "- Some Bug Fixed."},
        {form.Label15,
         form.Panel2,
         {40, 154},
         "Sebuah persembahan terakhir untuk nya, sebagai akhir sebuah kisah,"},
        {form.Label16,
         form.Panel2,
         {8, 170},
         "Tetapi juga sebagai awal kisah baru Untukku dan Untuknya."},
        {form.Label27, form.Panel2, {8, 187}, "Semoga didapatnya yang lebih baik.."},
        {form.Label17, form.Panel2, {8, 203}, "Amien."},
        {form.Label25, form.Panel2, {179, 248}, "- The End -"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.label->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(c.label->parentWidget(), c.parent) << c.text;
        EXPECT_EQ(c.label->pos(), c.pos) << c.text;
    }
    EXPECT_EQ(form.Label4->parentWidget(), form.Panel2);
    EXPECT_EQ(form.Label4->pos(), QPoint(36, 8));
    EXPECT_FALSE(form.Label4->text().isEmpty());
    // Every line of the two panels ends well inside the panel's bevel, whichever face stands in
    // for the one the panel was laid out with.
    for (QFrame* panel : {form.Panel1, form.Panel2}) {
        for (QLabel* label : panel->findChildren<QLabel*>()) {
            const QStringList lines = label->text().split(QLatin1Char('\n'));
            int widest = 0;
            for (const QString& line : lines) {
                widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
            }
            EXPECT_LE(label->x() + widest, panel->contentsRect().right() - 8)
                << label->text().toStdString();
        }
    }
    EXPECT_EQ(form.Label1->font().pixelSize(), 21);
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(form.Label1->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0xFF));
    EXPECT_EQ(form.Label5->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(form.Label25->font().pixelSize(), 13);
    EXPECT_FALSE(form.LabelMaker->text().isEmpty());
    EXPECT_TRUE(form.LabelRights->text().contains(QStringLiteral("freeware"), Qt::CaseInsensitive));
}

TEST(Form3Test, OkEndsTheModalWindowEveryTime) {
    TestApplication();
    TForm3 form;
    EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("Ok"));
    EXPECT_EQ(form.BitBtn1->geometry(), QRect(376, 358, 67, 33));
    EXPECT_EQ(form.BitBtn1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(form.BitBtn1->icon().isNull());
    for (int showing = 0; showing < 2; ++showing) {
        QTimer::singleShot(0, form.BitBtn1, &QPushButton::click);
        EXPECT_EQ(form.exec(), TForm3::mrAll);
        EXPECT_FALSE(form.isVisible());
    }
}

}  // namespace
