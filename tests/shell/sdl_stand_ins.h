// The SDL calls that the shell's tests answer or count themselves. SDL's
// dummy video driver has no mouse buttons that a test could press, so the
// test program's link wraps SDL_GetMouseState: the shell code linked into it
// calls the stand-in in place of SDL's, which reads the mouse for the
// handheld's and the desktop's backends. Left alone, it passes the call on
// to SDL. What the shell shows, the tests see through its backend seam;
// how often the screen was flipped, through the wrapped SDL_Flip.
#pragma once

#include "SDL.h"

namespace tarno::shell_test {

// What SDL_GetMouseState answers while active.
struct MouseStandIn {
    bool active = false;
    Uint8 buttons = 0;  // SDL_BUTTON(n) for each button held
    int x = 0, y = 0;
};

inline MouseStandIn mouse_stand_in;

// How many times SDL_Flip was called: the handheld shows each flip at once.
inline int screen_flips = 0;

}  // namespace tarno::shell_test
