#include "platform/tapplication.h"

namespace {

QMessageBox::StandardButton presentModal(const TApplication::MessageRequest& request) {
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
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
