// The handheld's backend: the console's 320x240 screen as it is, held on
// its side; touches from the touch device or SDL's mouse; no keyboard to
// type on, so any keyboard key that reaches the program quits it. Started
// without options, the program is this on any Linux machine too.
#include <cstdio>

#include "backend.h"
#include "loop.h"
#include "native_idle.h"
#include "touch.h"
#include "x_display.h"

namespace tarno {

namespace {

class HandheldBackend final : public Backend {
public:
    SDL_Surface* open_screen() override {
        if (!start_sdl()) std::fputs("Couldn't initialize SDL", stderr);
        SDL_Surface* screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BITS, 0);
        if (!screen) {
            std::fputs("Couldn't set video mode", stderr);
            return nullptr;
        }
        x_watched_ = watch_x_connection();
        return screen;
    }
    void show(SDL_Surface*) override {}  // the screen itself, flipped by the redraw
    bool poll_press() override { return poll_touch(); }
    void key_down(const SDL_keysym&) override { app.quit_requested = 1; }
    void window_event(const SDL_Event& event) override {
        // Another client destroyed the window: nothing left to show or tap.
        if (window_destroyed(event)) app.quit_requested = 1;
    }
    void copy(const std::string&) override {}
    void pause_idle() override {
        pause_native_idle(idle_sleeps_on_x(x_watched_, app.direct_touch, SDL_JoystickOpened(0)), false);
    }

private:
    bool x_watched_ = false;
};

}  // namespace

Backend& handheld_backend() {
    static HandheldBackend backend;
    return backend;
}

}  // namespace tarno
