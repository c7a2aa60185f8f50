#pragma once

#include <QString>

#include <stdexcept>

// Raised when text isn't a number: "'%s' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& message)
        : std::runtime_error(message.toUtf8().toStdString()) {}
};
