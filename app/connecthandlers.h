#pragma once

class TForm1;

// The player window's event table: each button, menu item, check box, slider and list event
// runs the handler of the window named for it, through the general error handler where the
// user causes it; loop back and the volume are bound both ways to the playlist.
void ConnectHandlers(TForm1& form);
