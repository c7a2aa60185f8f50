#pragma once

// What the player window's transport shows at one moment: the mode text, the glyph files of the
// Play, Pause and Stop buttons and the marks of their three menu commands.

#include <QFileInfo>
#include <QPushButton>

#include <ostream>
#include <string>

#include "app/tform1.h"

struct TPlayerRow {
    std::string Mode;
    std::string PlayGlyph, PauseGlyph, StopGlyph;  // file names in "Tombol"
    bool Play = false, Pause = false, Stop = false;

    bool operator==(const TPlayerRow&) const = default;

    static std::string Glyph(const QPushButton* button) {
        return QFileInfo(button->property("GlyphFile").toString()).fileName().toStdString();
    }
    static TPlayerRow Of(const TForm1& form) {
        return {form.LabelMode->text().toStdString(),
                Glyph(form.BtnPlay),
                Glyph(form.btnpause),
                Glyph(form.btnstop),
                form.Play3->isChecked(),
                form.Pause1->isChecked(),
                form.Stop1->isChecked()};
    }
};

inline void PrintTo(const TPlayerRow& row, std::ostream* os) {
    *os << '"' << row.Mode << "\" " << row.PlayGlyph << ' ' << row.PauseGlyph << ' '
        << row.StopGlyph << " marks " << row.Play << row.Pause << row.Stop;
}
