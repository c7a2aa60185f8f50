#include "infobox/dialogparts.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>

QLabel* MakePathLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setGeometry(geometry);
    label->setFixedSize(geometry.size());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColour(label, clPurple);
    return label;
}

void SetFieldEnabled(QWidget* field, bool enabled) {
    const QPalette& standard = QApplication::palette();
    QPalette palette = field->palette();
    const QColor background =
        enabled ? standard.color(QPalette::Base) : standard.color(QPalette::Button);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
    }
    field->setPalette(palette);
    field->setEnabled(enabled);
}

void SetUpDialog(QDialog* dialog, const QString& caption, int width, int height,
                 const QFont& font) {
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFont(font);
    dialog->setFixedSize(width, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        dialog->move(screen->availableGeometry().center() - dialog->rect().center());
    }
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QRect& geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    return edit;
}

QString MemoText(const QPlainTextEdit* memo, const QString& lineBreak) {
    // The plain text would turn a no-break space into a blank and a line separator into a line
    // feed; the raw text keeps every character but the one that ends each paragraph.
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, lineBreak);
    return text;
}

void SetMemoText(QPlainTextEdit* memo, const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    memo->setPlainText(lines);
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title,
                     const QRect& geometry) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    // The title sits on the frame line, so the places given inside the group stay clear of it.
    group->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 7px; padding: 0px 1px; }"));
    return group;
}

void KeepDialogFont(QDialog* dialog) {
    for (QGroupBox* group : dialog->findChildren<QGroupBox*>()) {
        for (QWidget* widget : group->findChildren<QWidget*>()) {
            if (!widget->testAttribute(Qt::WA_SetFont)) {
                widget->setFont(dialog->font());
            }
        }
        group->setFont(dialog->font());
    }
}

QLabel* MakeCaptionLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                         const QFont& font) {
    QLabel* label = MakeLabel(parent, name, text, left, top);
    label->setFont(font);
    label->adjustSize();
    return label;
}

QLabel* MakeInfoLabel(QWidget* parent, const char* name, const QRect& geometry) {
    QLabel* label = MakeLabel(parent, name, QString(), geometry.left(), geometry.top());
    label->resize(geometry.size());
    return label;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
