#include "platform/pixelfont.h"

#include <QFontInfo>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

struct StandIns {
    const char* family;
    // Tried in order. Qt matches each name as it is, without the system's aliases, so these are
    // the names of real faces: metric twins first, then faces of about the same width.
    std::array<const char*, 4> faces;
    // The face is narrower than the common sans faces: the layouts leave no room for a wide one.
    bool narrow;
};

constexpr std::array<StandIns, 7> kStandIns{{
    {"MS Sans Serif",
     {"Microsoft Sans Serif", "Liberation Sans Narrow", "Nimbus Sans Narrow", "Arial Narrow"},
     true},
    {"Arial", {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans Condensed"}, false},
    {"Tahoma", {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans Condensed"}, false},
    {"Times New Roman", {"Liberation Serif", "Tinos", "Nimbus Roman", "DejaVu Serif"}, false},
    {"Monotype Corsiva", {"URW Chancery L", "Z003", "Liberation Serif", "DejaVu Serif"}, false},
    {"Lucida Console", {"Liberation Mono", "Cousine", "Nimbus Mono PS", "DejaVu Sans Mono"}, false},
    {"Terminal", {"Liberation Mono", "Cousine", "Nimbus Mono PS", "DejaVu Sans Mono"}, false},
}};

}  // namespace

QFont PixelFont(const QString& family, int pixels, bool bold, bool italic) {
    QStringList faces{family};
    bool narrow = false;
    for (const StandIns& entry : kStandIns) {
        if (family == QLatin1String(entry.family)) {
            for (const char* face : entry.faces) {
                faces << QString::fromLatin1(face);
            }
            narrow = entry.narrow;
        }
    }
    if (faces.size() == 1) {
        faces << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans Condensed");
    }
    QFont font(family);
    font.setFamilies(faces);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    if (narrow) {
        // None of the narrow faces installed: the system's default face, drawn condensed.
        const QString found = QFontInfo(font).family();
        const bool listed = std::any_of(faces.begin(), faces.end(), [&found](const QString& face) {
            return found == face || found.startsWith(face + QStringLiteral(" ["));
        });
        if (!listed) {
            font.setStretch(QFont::Condensed);
        }
    }
    return font;
}
