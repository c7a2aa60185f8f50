#include "platform/highdensity.h"

#include <QFileInfo>
#include <QGuiApplication>

QString DoubleSizeName(const QString& file) {
    const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot > slash ? dot : file.size();
    return file.left(at) + QStringLiteral("@2x") + file.mid(at);
}

QString HighDensityFile(const QString& file) {
    if (qGuiApp == nullptr || qGuiApp->devicePixelRatio() <= 1.0) {
        return file;
    }
    const QString fine = DoubleSizeName(file);
    return QFileInfo::exists(fine) ? fine : file;
}

qreal PictureRatio(const QString& file) {
    return QFileInfo(file).completeBaseName().endsWith(QLatin1String("@2x")) ? 2.0 : 1.0;
}
