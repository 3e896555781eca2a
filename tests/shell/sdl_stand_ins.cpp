#include "sdl_stand_ins.h"

#include <dlfcn.h>

namespace {

// SDL's own definition of name, from the libraries loaded after this program.
template <typename Function>
Function* sdl_own(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

Uint8 SDL_GetMouseState(int* x, int* y) {
    using tarno::testing::mouse_stand_in;
    if (!mouse_stand_in.active) {
        static auto* const sdl = sdl_own<Uint8(int*, int*)>("SDL_GetMouseState");
        return sdl(x, y);
    }
    if (x) *x = mouse_stand_in.x;
    if (y) *y = mouse_stand_in.y;
    return mouse_stand_in.buttons;
}

int SDL_Flip(SDL_Surface* screen) {
    if (tarno::testing::on_flip) tarno::testing::on_flip(screen);
    static auto* const sdl = sdl_own<int(SDL_Surface*)>("SDL_Flip");
    return sdl(screen);
}

}  // extern "C"
