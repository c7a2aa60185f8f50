#pragma once

class TForm1;

// Names the controls of the player window that show no text of their own (glyph buttons, check
// boxes beside their labels, sliders, pictures, panels), names the quick-play buttons "Play entry
// N", and lets F10 open the menu bar, so the window can be used with a screen reader and the
// keyboard alone. The tool tips stay the descriptions. The quick-play buttons' descriptions say
// what their colours say ("playing", "present", "empty"); tombol_aktif keeps them up to date.
void DescribeControls(TForm1& form);

// The description of a quick-play button: its entry is the current one, is in the playlist, or
// is not there.
const char* QuickPlayState(bool current, bool present);
