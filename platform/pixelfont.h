#pragma once

#include <QFont>
#include <QString>

// A font of one of the faces the windows were laid out with ("MS Sans Serif", "Tahoma", "Arial",
// "Times New Roman", "Monotype Corsiva", and the fixed-pitch "Lucida Console" and "Terminal"),
// sized in pixels so the fixed layouts hold on any screen (8 pt at 96 dpi is 11 px). Where the face
// is missing, an installed face of like width stands in, so no text grows into the control beside
// it.
QFont PixelFont(const QString& family, int pixels, bool bold = false, bool italic = false);
