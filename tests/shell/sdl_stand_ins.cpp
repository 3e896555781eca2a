#include "sdl_stand_ins.h"

// The linker sends the shell's calls of the functions here (--wrap, as the
// display's tests do for theirs); __real_ names SDL's own.
extern "C" {

Uint8 __real_SDL_GetMouseState(int* x, int* y);

Uint8 __wrap_SDL_GetMouseState(int* x, int* y) {
    using tarno::shell_test::mouse_stand_in;
    if (!mouse_stand_in.active) return __real_SDL_GetMouseState(x, y);
    if (x) *x = mouse_stand_in.x;
    if (y) *y = mouse_stand_in.y;
    return mouse_stand_in.buttons;
}

int __real_SDL_Flip(SDL_Surface* screen);

int __wrap_SDL_Flip(SDL_Surface* screen) {
    ++tarno::shell_test::screen_flips;
    return __real_SDL_Flip(screen);
}

}  // extern "C"
