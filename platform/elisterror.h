#pragma once

#include <QString>

#include <stdexcept>

// Raised for an index outside a list of lines: "List index out of bounds (%d)".
class EListError : public std::runtime_error {
public:
    explicit EListError(int index)
        : std::runtime_error(
              QStringLiteral("List index out of bounds (%1)").arg(index).toUtf8().toStdString()) {}
};
