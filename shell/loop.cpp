// The main loop: SDL's events, the press on the touch screen through the
// repeat guard, the click and the key, and the pause of an idle pass.
#include <sys/time.h>

#include <algorithm>
#include <cstdio>

#include "app.h"
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
    default: break;
    }
}

void process_key(KeyCode key, SDL_Surface* screen) {
    if (handle_key(key)) app.quit_requested = 1;
    redraw_screen(screen, app.fonts, calc_state());
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

void run_main_loop() {
    for (;;) {
        const bool busy = run_pass();
        // An open touch device blocks in its read and so paces the loop by
        // itself; polling SDL's mouse would spin a whole core without a pause.
        const bool device_paces_loop = app.direct_touch && app.touch_fd >= 0;
        if (!busy && !device_paces_loop) SDL_Delay(idle_wait_ms(app.next_accept_ms, platform.clock()));
    }
}

}  // namespace tarno
