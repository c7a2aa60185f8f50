#pragma once

#include <QMessageBox>
#include <QString>

#include <exception>
#include <functional>
#include <utility>

class QWidget;

// The application object: its title, its message boxes and its general error handler.
// Every message box of the program goes through messageBox(), so tests can replace the
// presenter and see what a user would have been shown without a modal loop.
class TApplication {
public:
    struct MessageRequest {
        QWidget* parent = nullptr;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    };
    using Presenter = std::function<QMessageBox::StandardButton(const MessageRequest&)>;

    static TApplication& instance();

    const QString& Title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }

    // Shows the box (modal) and returns the button pressed.
    QMessageBox::StandardButton messageBox(const MessageRequest& request);
    // A plain message box with the application title as caption and an OK button.
    void showMessage(const QString& text, QWidget* parent = nullptr);

    // Keeps a box within its screen: a text too tall for it scrolls inside the box.
    static void FitToScreen(QMessageBox& box);

    // Replaces the presenter; returns the previous one so a test can put it back.
    Presenter setPresenter(Presenter presenter);

    // The general error handler: application title, error icon, OK, and the full-stop rule.
    void HandleException(const std::exception& error, QWidget* parent = nullptr);

    // The text the general error handler shows for a message: a full stop is added when the
    // last character sorts after "." (letters, digits and "?" do; ".", "!" and a blank don't).
    static QString errorText(const QString& message);

private:
    TApplication();
    QString title_;
    Presenter presenter_;
};

// Runs a handler so that no exception crosses Qt's event loop: any std::exception ends the
// handler and goes to the general error handler. Use it for every slot, timer tick and drop.
template <typename F>
auto guarded(F handler, QWidget* parent = nullptr) {
    return [handler = std::move(handler), parent](auto&&... args) {
        try {
            handler(std::forward<decltype(args)>(args)...);
        } catch (const std::exception& error) {
            TApplication::instance().HandleException(error, parent);
        }
    };
}
