#pragma once

#include <QString>

class QFontMetrics;

// Shortens a path until it fits maxWidth pixels in the given font: the leading directories are
// replaced by ".../" one at a time (/a/b/c/x.mp3, /.../b/c/x.mp3, /.../c/x.mp3, .../x.mp3), and at
// last only the file name is left, whether it fits or not.
QString FitPathToWidth(const QString& path, const QFontMetrics& metrics, int maxWidth);

// One step of the shortening on a directory part ending in "/": its first directory becomes
// ".../" ("/a/b/" gives "/.../b/", "/.../b/" gives "/.../", ".../" gives ""). Exposed for tests.
QString CutFirstDirectory(const QString& directory);
