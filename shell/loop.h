// The main loop and the state it keeps: AppState, the clock and the repeat
// guard of the handheld's touch, the redraw after every key and the click
// with it.
#pragma once

#include <cstdint>

#include "backend.h"
#include "display.h"

namespace tarno {

constexpr std::uint32_t KEY_REPEAT_MS = 200;        // the wait after an accepted press
constexpr int VOLUME_STEP = 16;                     // one press of a volume button
constexpr int MAX_VOLUME = 128;                     // SDL_mixer's full volume
constexpr std::uint32_t IDLE_WAIT_MS = 5;           // the longest pause of a pass with nothing to do

// The GP2X's buttons, as its SDL numbers them on joystick 0.
constexpr int BUTTON_START = 8;
constexpr int BUTTON_VOLUME_UP = 16;
constexpr int BUTTON_VOLUME_DOWN = 17;

// The shell's globals, alive for the whole run.
struct AppState {
    std::uint8_t quit_requested = 0;     // set by Off, Start, a keyboard key on the handheld, a quit request
    SDL_Surface* screen = nullptr;       // 320x240, 16 bits per pixel
    Fonts fonts{};                       // font_large, font_small and the number line's narrow sizes
    Mix_Chunk* click_sound = nullptr;    // null when the click could not be loaded
    std::uint8_t direct_touch = 0;       // 1: touches from the device, 0: from SDL's mouse
    std::int32_t touch_x = 0;            // last touch position, screen pixels
    std::int32_t touch_y = 0;
    std::uint8_t calibration_pending = 1;  // until the device's first pen-up sample
    std::int32_t touch_offset_x = 0;
    std::int32_t touch_offset_y = 0;
    int touch_fd = -1;                   // the touch device, -1 while not open
    bool touch_delivered = false;        // the device's last read gave a sample, so the loop waited for it
    bool touch_failing = false;          // the device's reads have given nothing since touch_failing_since
    std::uint32_t touch_failing_since = 0;
    std::uint32_t next_accept_ms = 0;    // presses before this time are ignored
    int last_click_channel = -1;         // channel of the main loop's last click, -1 for none
};

extern AppState app;

// The wall clock (gettimeofday) in milliseconds, modulo 2^32.
std::uint32_t now_ms();

// seconds × 1000 + microseconds ÷ 1000, modulo 2^32.
std::uint32_t ms_from_time(long seconds, long microseconds);

// Whether a press at now falls inside the wait that ends at deadline. Wrap-safe;
// a deadline more than KEY_REPEAT_MS ahead (the clock was set back) has passed.
bool repeat_guard_running(std::uint32_t deadline, std::uint32_t now);

// How long a pass with nothing to do pauses: IDLE_WAIT_MS, or less when the
// repeat guard ends sooner, so that a held key repeats on time.
std::uint32_t idle_wait_ms(std::uint32_t deadline, std::uint32_t now);

// Acts on one SDL event: a quit request here, every other through the backend.
void handle_event(const SDL_Event& event);

// Composes screen for the calculator's state and shows it through the backend.
void draw_calculator(SDL_Surface* screen);

// Runs key on the engine (Off sets quit_requested), then redraws screen.
void process_key(KeyCode key, SDL_Surface* screen);

// What an accepted tap and a typed key do: the click, then process_key.
void press_key(KeyCode key);

// The key that press_key pressed last, NO_KEY before the first.
KeyCode last_pressed_key();

// The volume of every channel moved by step, within 0..MAX_VOLUME, then the click.
void change_volume(int step);

// The press now at (touch_x, touch_y) through the repeat guard, the hit-test,
// the click and process_key; true when it reached a key.
bool handle_press();

// One pass of the main loop; shuts down instead when a quit was requested.
// True when the pass handled an event or a key.
bool run_pass();

// Whether the loop pauses after a pass: the pass did nothing, and no read of
// the touch device waited for a sample (one that fails at once must not spin).
bool pass_should_pause(bool busy);

// Runs passes until the shutdown ends the program.
[[noreturn]] void run_main_loop();

}  // namespace tarno
