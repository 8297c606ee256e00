// What the program's windows leave behind once they are closed: Qt's pixmap cache holds the style's
// renderings of their controls and icons, and the C library keeps the heap they freed resident. The
// program sits in the tray for the rest of the day, so neither is kept for the next open.
#pragma once

// Empties the pixmap cache and gives the freed heap back to the system (glibc's malloc_trim). The
// next window renders what it needs again.
void ReleaseClosedWindowMemory();
