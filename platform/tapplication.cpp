#include "platform/tapplication.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace {

QMessageBox::StandardButton presentModal(const TApplication::MessageRequest& request) {
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
    TApplication::FitToScreen(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

TApplication::TApplication() : title_(QStringLiteral("Tovra III [Velmo History]")) {}

TApplication& TApplication::instance() {
    static TApplication application;
    return application;
}

QMessageBox::StandardButton TApplication::messageBox(const MessageRequest& request) {
    return presenter_ ? presenter_(request) : presentModal(request);
}

void TApplication::showMessage(const QString& text, QWidget* parent) {
    messageBox({parent, QMessageBox::NoIcon, title_, text, QMessageBox::Ok});
}

void TApplication::FitToScreen(QMessageBox& box) {
    const QWidget* parent = box.parentWidget();
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (screen == nullptr || label == nullptr || grid == nullptr) {
        return;
    }
    // Some room stays for the window's frame and title bar.
    const int room = screen->availableGeometry().height() - 80;
    const int height = box.sizeHint().height();
    if (height <= room) {
        return;
    }
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(label);
    auto* scroll = new QScrollArea(&box);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    const QSize text = label->sizeHint();
    scroll->setWidget(label);
    scroll->setMinimumWidth(text.width() + scroll->verticalScrollBar()->sizeHint().width());
    scroll->setFixedHeight(std::max(room - (height - text.height()), 100));
    grid->addWidget(scroll, row, column, rowSpan, columnSpan);
}

TApplication::Presenter TApplication::setPresenter(Presenter presenter) {
    std::swap(presenter_, presenter);
    return presenter;
}

void TApplication::HandleException(const std::exception& error, QWidget* parent) {
    const QString message = QString::fromUtf8(error.what());
    messageBox({parent, QMessageBox::Critical, title_, errorText(message), QMessageBox::Ok});
}

QString TApplication::errorText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}
