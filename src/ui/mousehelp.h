// mousehelp.h -- pointer grab, warp and release on the main window's X window
#pragma once

// Makes a blank cursor from a 1 x 1 bitmap and grabs the pointer for the main
// window: owner events, every pointer event (mask 0x7ffc), asynchronous,
// confined to the main window, showing the blank cursor.
void grabmouse();
// Moves the pointer to (x, y) of the main window.
void warpmouse(int x, int y);
// Ungrabs the pointer and frees the bitmap and cursor of the last grabmouse.
void releasemouse();
