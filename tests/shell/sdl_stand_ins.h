// Two SDL calls that the shell's tests answer or watch themselves. SDL's
// dummy video driver has no mouse buttons that a test could press, and its
// flip shows nothing, so the test program's link wraps SDL_GetMouseState and
// SDL_Flip: the shell code linked into it calls the stand-ins in place of
// SDL's. Left alone, each passes the call on to SDL.
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

// Called with every surface about to be flipped; null for none.
inline void (*on_flip)(SDL_Surface* surface) = nullptr;

}  // namespace tarno::shell_test
