// The main loop: SDL's events, the press on the screen through the repeat
// guard, the click and the key, and the pause of an idle pass. The same for
// every backend; the backend only says where presses come from and where
// the screen goes.
#include <sys/time.h>

#include <algorithm>
#include <cstdio>

#include "display.h"
#include "shell_internal.h"

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
    case SDL_KEYDOWN: platform.backend->key_down(event.key.keysym); break;
    case SDL_QUIT: app.quit_requested = 1; break;
    case SDL_JOYBUTTONDOWN: handle_button(event.jbutton.button); break;
    case SDL_SYSWMEVENT: platform.backend->window_event(event); break;
    default: break;
    }
}

void draw_calculator(SDL_Surface* screen) {
    redraw_screen(screen, app.fonts, read_only_calc_state());
    platform.backend->show(screen);
}

void process_key(KeyCode key, SDL_Surface* screen) {
    if (handle_key(key)) app.quit_requested = 1;
    draw_calculator(screen);
    platform.backend->keep();  // after the screen, which the user should not wait for
}

void press_key(KeyCode key) {
    app.last_click_channel = platform.sound->play_click();
    if (app.last_click_channel == -1) std::fprintf(stderr, "Unable to play WAV file: %s\n", SDL_GetError());
    process_key(key, app.screen);
}

bool handle_press() {
    if (repeat_guard_running(app.next_accept_ms, platform.clock())) return false;
    // Restarted before the hit-test: a press beside the keys also waits.
    app.next_accept_ms = platform.clock() + KEY_REPEAT_MS;
    const KeyCode key = key_at(app.touch_x, app.touch_y);
    if (key == NO_KEY) return false;
    press_key(key);
    return true;
}

void type_key(const SDL_keysym& key) {
    const TypedAction action = typed_action(key.unicode, key.sym, key.mod);
    switch (action.kind) {
    case TypedAction::PRESS: press_key(action.key); break;
    case TypedAction::COPY: platform.backend->copy(number_to_copy()); break;
    case TypedAction::NOTHING: break;
    }
}

std::string number_to_copy() {
    const std::string line = screen_texts(read_only_calc_state()).number_line;
    return !line.empty() && line[0] == ' ' ? line.substr(1) : line;
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
    if (platform.backend->poll_press() && handle_press()) busy = true;
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
