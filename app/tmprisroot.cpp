#include "app/tmprisroot.h"

#include "app/openfiles.h"
#include "app/tform1.h"
#include "app/tmprisservice.h"
#include "platform/tapplication.h"

TMprisRoot::TMprisRoot(TMprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}

QString TMprisRoot::Identity() const {
    return TApplication::instance().Title().isEmpty() ? QStringLiteral("Tovra III")
                                                      : TApplication::instance().Title();
}

QString TMprisRoot::DesktopEntry() const {
    return TMprisService::DesktopEntry();
}

QStringList TMprisRoot::SupportedUriSchemes() const {
    return {QStringLiteral("file")};
}

QStringList TMprisRoot::SupportedMimeTypes() const {
    // The types of the open dialog's extensions: .wav .mid .wmv .wma .mp3 .mpg .mpeg .avi
    return {QStringLiteral("audio/x-wav"),    QStringLiteral("audio/midi"),
            QStringLiteral("video/x-ms-wmv"), QStringLiteral("audio/x-ms-wma"),
            QStringLiteral("audio/mpeg"),     QStringLiteral("video/mpeg"),
            QStringLiteral("video/x-msvideo")};
}

void TMprisRoot::Raise() {
    TForm1& form = service_->Form();
    service_->Run([&form] { BringToFront(form); });
}

void TMprisRoot::Quit() {
    TForm1& form = service_->Form();
    service_->Run([&form] { form.close(); });
}
