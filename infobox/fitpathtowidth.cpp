#include "infobox/fitpathtowidth.h"

#include <QFontMetrics>

namespace {

const QString kEllipsisDir = QStringLiteral(".../");
const QString kRootEllipsisDir = QStringLiteral("/.../");

}  // namespace

QString CutFirstDirectory(const QString& directory) {
    if (directory == QStringLiteral("/")) {
        return {};
    }
    QString text = directory;
    const bool rooted = text.startsWith(QLatin1Char('/'));
    if (rooted) {
        text.remove(0, 1);
    }
    // Only a marker left by an earlier step is dropped here; a directory whose own name begins
    // with a dot is cut like any other.
    if (text.startsWith(kEllipsisDir)) {
        text.remove(0, kEllipsisDir.size());
    }
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    text = slash >= 0 ? kEllipsisDir + text.mid(slash + 1) : QString();
    return rooted ? QLatin1Char('/') + text : text;
}

QString FitPathToWidth(const QString& path, const QFontMetrics& metrics, int maxWidth) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QString directory = path.left(slash + 1);
    const QString fileName = path.mid(slash + 1);
    QString result = path;
    // There are no drive letters here, so the loop runs on the directory part alone.
    while (!directory.isEmpty()) {
        if (metrics.horizontalAdvance(result) <= maxWidth) {
            break;
        }
        directory = directory == kRootEllipsisDir ? kEllipsisDir : CutFirstDirectory(directory);
        result = directory + fileName;
    }
    return result;
}
