// The main loop: SDL's events, the input the backend polls for (the
// handheld's press on the screen through the repeat guard), the click and
// the key, and the pause of an idle pass. The same for every backend; the
// backend only says where input comes from and where the screen goes.
#include <sys/time.h>

#include <algorithm>
#include <cstdio>

#include "display.h"
#include "input.h"
#include "lifecycle.h"
#include "loop.h"

namespace tarno {

AppState app;

// The program's main fills in the sound and the backend first thing.
Platform platform{now_ms, nullptr, nullptr};

std::uint32_t ms_from_time(long seconds, long microseconds) {
    // Unsigned arithmetic wraps modulo 2^32, as the millisecond clock does.
    return static_cast<std::uint32_t>(seconds) * 1000u + static_cast<std::uint32_t>(microseconds / 1000);
}

std::uint32_t now_ms() {
    timeval now;
    gettimeofday(&now, nullptr);
    return ms_from_time(now.tv_sec, now.tv_usec);
}

bool repeat_guard_running(std::uint32_t deadline, std::uint32_t now) {
    // The deadline is never set more than KEY_REPEAT_MS ahead; anything
    // further means the clock went back, and the wait is over.
    const std::uint32_t ahead = deadline - now;
    return ahead != 0 && ahead <= KEY_REPEAT_MS;
}

std::uint32_t idle_wait_ms(std::uint32_t deadline, std::uint32_t now) {
    if (!repeat_guard_running(deadline, now)) return IDLE_WAIT_MS;
    return std::min(IDLE_WAIT_MS, deadline - now);
}

void change_volume(int step) {
    const int volume = std::clamp(platform.sound->volume() + step, 0, MAX_VOLUME);
    platform.sound->set_volume(volume);
    platform.sound->play_click();  // the user hears the new volume; a failure does not matter
}

void handle_event(const SDL_Event& event) {
    if (event.type == SDL_QUIT) app.quit_requested = 1;
    else platform.backend->sdl_event(event);
}

void draw_calculator(SDL_Surface* screen) {
    compose_screen(screen, app.fonts, read_only_calc_state());
    // A held key and the key cursor over the picture before it is flipped,
    // so that the handheld's screen never shows it without them.
    draw_input_marks(screen);
    flip_screen(screen);
    platform.backend->show(screen);
}

void process_key(KeyCode key, SDL_Surface* screen) {
    if (handle_key(key)) app.quit_requested = 1;
    draw_calculator(screen);
    platform.backend->keep();  // after the screen, which the user should not wait for
}

namespace {
KeyCode last_key = NO_KEY;  // the key press_key pressed last
}  // namespace

KeyCode last_pressed_key() { return last_key; }

void press_key(KeyCode key) {
    last_key = key;
    app.last_click_channel = platform.sound->play_click();
    if (app.last_click_channel == -1 && platform.backend->tells_every_silent_click())
        std::fprintf(stderr, "Unable to play WAV file: %s\n", SDL_GetError());
    process_key(key, app.screen);
}

bool handle_press() {
    if (repeat_guard_running(app.next_accept_ms, platform.clock())) return false;
    // Restarted before the hit-test: a press beside the keys also waits.
    app.next_accept_ms = platform.clock() + KEY_REPEAT_MS;
    const KeyCode key = key_at(app.touch_x, app.touch_y);
    // The key cursor gives way to the finger: gone at its first press.
    const bool cursor_was_shown = hide_cursor();
    if (key == NO_KEY) {
        if (cursor_was_shown) draw_calculator(app.screen);
        return false;
    }
    press_key(key);
    return true;
}

bool run_pass() {
    if (app.quit_requested) shut_down();
    bool busy = false;
    // A quit asked for here still lets this pass's press through.
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handle_event(event);
        busy = true;
    }
    if (platform.backend->poll()) busy = true;
    return busy;
}

bool pass_should_pause(bool busy) {
    // A touch device that gave a sample blocked in its read until it had
    // one, and so paces the loop by itself.
    return !busy && !(app.direct_touch && app.touch_delivered);
}

void run_main_loop() {
    for (;;) {
        if (pass_should_pause(run_pass())) platform.backend->pause_idle();
    }
}

}  // namespace tarno
