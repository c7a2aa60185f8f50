#pragma once

#include <QString>

#include <stdexcept>

// Raised by the media device: no device open, or the device's own text for a file it cannot play.
// what() holds the text in UTF-8, which is how the general error handler reads it.
class EMCIDeviceError : public std::runtime_error {
public:
    explicit EMCIDeviceError(const QString& message)
        : std::runtime_error(message.toUtf8().toStdString()) {}

    QString Message() const { return QString::fromUtf8(what()); }
};
