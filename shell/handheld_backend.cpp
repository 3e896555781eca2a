// The handheld's backend: the console's 320x240 screen as it is, held on
// its side; touches from the touch device or SDL's mouse, polled in every
// pass; the console's buttons on joystick 0: Start quits, the volume
// buttons set the click's volume, and the d-pad moves the key cursor, whose
// key B or the stick's click presses. No keyboard to type on, so any
// keyboard key that reaches the program quits it. Started without options,
// the program is this on any Linux machine too.
#include <cstdio>

#include "backend.h"
#include "input.h"
#include "lifecycle.h"
#include "loop.h"
#include "native_idle.h"
#include "touch.h"
#include "x_display.h"

namespace tarno {

namespace {

// The d-pad's directions as the console's SDL numbers them, named by where
// they point on the console held upright, a quarter turn clockwise from its
// landscape position: its left is the user's up, its up the user's right.
constexpr int BUTTON_USER_UP = 2;     // the d-pad's left
constexpr int BUTTON_USER_RIGHT = 0;  // the d-pad's up
constexpr int BUTTON_USER_DOWN = 6;   // the d-pad's right
constexpr int BUTTON_USER_LEFT = 4;   // the d-pad's down
constexpr int BUTTON_B = 13;
constexpr int BUTTON_STICK_CLICK = 18;

void handle_button(int button) {
    switch (button) {
    case BUTTON_START: app.quit_requested = 1; break;
    case BUTTON_VOLUME_UP: change_volume(VOLUME_STEP); break;
    case BUTTON_VOLUME_DOWN: change_volume(-VOLUME_STEP); break;
    case BUTTON_USER_UP: move_cursor(CursorMove::UP); break;
    case BUTTON_USER_DOWN: move_cursor(CursorMove::DOWN); break;
    case BUTTON_USER_LEFT: move_cursor(CursorMove::LEFT); break;
    case BUTTON_USER_RIGHT: move_cursor(CursorMove::RIGHT); break;
    case BUTTON_B:
    case BUTTON_STICK_CLICK: press_cursor(); break;
    default: break;
    }
}

class HandheldBackend final : public Backend {
public:
    SDL_Surface* open_screen() override {
        if (!start_sdl()) std::fputs("Couldn't initialize SDL", stderr);
        SDL_Surface* screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BITS, 0);
        if (!screen) {
            std::fputs("Couldn't set video mode", stderr);
            return nullptr;
        }
        SDL_JoystickOpen(0);  // the GP2X's buttons; SDL keeps the handle
        x_watched_ = watch_x_connection();
        return screen;
    }
    void start() override { check_firmware_version(FIRMWARE_VERSION_FILE); }
    void show(SDL_Surface*) override {}  // the screen itself, flipped by the redraw
    void sdl_event(const SDL_Event& event) override {
        switch (event.type) {
        case SDL_KEYDOWN: app.quit_requested = 1; break;
        case SDL_JOYBUTTONDOWN: handle_button(event.jbutton.button); break;
        case SDL_SYSWMEVENT:
            // Another client destroyed the window: nothing left to show or tap.
            if (window_destroyed(event)) app.quit_requested = 1;
            break;
        default: break;
        }
    }
    bool poll() override { return poll_touch() && handle_press(); }
    void copy(const std::string&) override {}
    void pause_idle() override {
        pause_native_idle(idle_sleeps_on_x(x_watched_, app.direct_touch, SDL_JoystickOpened(0)), false, true);
    }
    void close_input() override { close_touch_device(); }
    void end() override { hand_over_to_menu(MENU_DIRECTORY, MENU_PROGRAM); }

private:
    bool x_watched_ = false;
};

}  // namespace

Backend& handheld_backend() {
    static HandheldBackend backend;
    return backend;
}

}  // namespace tarno
