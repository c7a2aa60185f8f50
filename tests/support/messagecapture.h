#pragma once

// The message boxes a user would have seen, caught instead of shown for the life of the object.

#include <QString>
#include <QStringList>

#include <vector>

#include "platform/tapplication.h"

class TMessageCapture {
public:
    TMessageCapture() {
        previous_ = TApplication::instance().setPresenter(
            [this](const TApplication::MessageRequest& request) {
                Requests.push_back(request);
                return QMessageBox::Ok;
            });
    }
    ~TMessageCapture() { TApplication::instance().setPresenter(previous_); }
    TMessageCapture(const TMessageCapture&) = delete;
    TMessageCapture& operator=(const TMessageCapture&) = delete;

    QStringList Texts() const {
        QStringList texts;
        for (const auto& request : Requests) {
            texts << request.text;
        }
        return texts;
    }

    std::vector<TApplication::MessageRequest> Requests;

private:
    TApplication::Presenter previous_;
};
