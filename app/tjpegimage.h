#pragma once

#include <QByteArray>
#include <QImage>

#include <stdexcept>

// Raised when a JPEG picture can't be decoded; the text is libjpeg's own.
class EJPEGError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes JPEG pictures through libjpeg (the banner of the player window).
class TJPEGImage {
public:
    // An RGB image of the picture; raises EJPEGError on data libjpeg rejects.
    static QImage Decode(const QByteArray& data);
    // Decodes a file or a Qt resource (":/...").
    static QImage LoadFromFile(const QString& fileName);
};
