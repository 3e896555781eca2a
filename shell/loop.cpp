// The main loop: SDL's events, the press on the touch screen through the
// repeat guard, the click and the key, and the pause of an idle pass.
#include <sys/time.h>

#include <algorithm>
#include <cstdio>

#include "shell_internal.h"
#include "display.h"

namespace tarno {

AppState app;

Platform platform{now_ms, &mixer_sound()};

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

int x_wait_timeout_ms(bool pressed, std::uint32_t deadline, std::uint32_t now) {
    if (!pressed) return -1;  // any change comes as an X event
    return repeat_guard_running(deadline, now) ? static_cast<int>(deadline - now) : 0;
}

namespace {

void change_volume(int step) {
    const int volume = std::clamp(platform.sound->volume() + step, 0, MAX_VOLUME);
    platform.sound->set_volume(volume);
    platform.sound->play_click();  // the user hears the new volume; a failure does not matter
}

void handle_button(int button) {
    switch (button) {
    case BUTTON_START: app.quit_requested = 1; break;
    case BUTTON_VOLUME_UP: change_volume(VOLUME_STEP); break;
    case BUTTON_VOLUME_DOWN: change_volume(-VOLUME_STEP); break;
    default: break;
    }
}

}  // namespace

void handle_event(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_QUIT: app.quit_requested = 1; break;
    case SDL_JOYBUTTONDOWN: handle_button(event.jbutton.button); break;
    case SDL_SYSWMEVENT:
        // Another client destroyed the window: nothing left to show or tap.
        if (window_destroyed(event)) app.quit_requested = 1;
        break;
    default: break;
    }
}

void process_key(KeyCode key, SDL_Surface* screen) {
    if (handle_key(key)) app.quit_requested = 1;
    redraw_screen(screen, app.fonts, read_only_calc_state());
}

bool handle_press() {
    if (repeat_guard_running(app.next_accept_ms, platform.clock())) return false;
    // Restarted before the hit-test: a press beside the keys also waits.
    app.next_accept_ms = platform.clock() + KEY_REPEAT_MS;
    const KeyCode key = key_at(app.touch_x, app.touch_y);
    if (key == 0) return false;
    app.last_click_channel = platform.sound->play_click();
    if (app.last_click_channel == -1) std::fprintf(stderr, "Unable to play WAV file: %s\n", SDL_GetError());
    process_key(key, app.screen);
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
    if (poll_touch() && handle_press()) busy = true;
    return busy;
}

bool pass_should_pause(bool busy) {
    // A touch device that gave a sample blocked in its read until it had
    // one, and so paces the loop by itself.
    return !busy && !(app.direct_touch && app.touch_delivered);
}

namespace {

// Sleeping on the X connection sees every change of SDL's mouse. Touches
// read from the device and the joystick's buttons, which SDL polls for, are
// not seen there: with either, the loop keeps its short pauses.
bool sleeps_on_x_connection() {
    const bool watched = watch_x_connection();  // also watches for the window's loss
    return watched && !app.direct_touch && !SDL_JoystickOpened(0);
}

void pause_idle_pass(bool on_x_connection) {
    if (on_x_connection) {
        const bool pressed = SDL_GetMouseState(nullptr, nullptr) != 0;
        wait_for_x_event(x_wait_timeout_ms(pressed, app.next_accept_ms, platform.clock()));
    } else {
        SDL_Delay(idle_wait_ms(app.next_accept_ms, platform.clock()));
    }
}

}  // namespace

void run_main_loop() {
    const bool on_x_connection = sleeps_on_x_connection();
    for (;;) {
        if (pass_should_pause(run_pass())) pause_idle_pass(on_x_connection);
    }
}

}  // namespace tarno
