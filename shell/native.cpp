// What the handheld's and the desktop's backends share: SDL brought up with
// the window system's events let through, the pause of an idle pass, and
// the waits on a descriptor that it is made of.
#include <poll.h>
#include <pthread.h>
#include <signal.h>

#include <algorithm>

#include "loop.h"
#include "native_idle.h"
#include "x_display.h"

namespace tarno {

namespace {

// SDL's event queue holds 128 events.
constexpr int QUEUE_SIZE = 128;

// While a keyboard key is held, SDL makes its repeats only when polled.
constexpr int KEY_HELD_WAIT_MS = 10;

// Holds SIGINT and SIGTERM back, which SDL turns into quit events; the
// signal mask from before, to be set again.
sigset_t hold_quit_signals() {
    sigset_t quit_signals, previous;
    sigemptyset(&quit_signals);
    sigaddset(&quit_signals, SIGINT);
    sigaddset(&quit_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &quit_signals, &previous);
    return previous;
}

}  // namespace

bool start_sdl() {
    // No SDL_INIT_TIMER: the calculator sets no SDL timers, and SDL's timer
    // thread would wake a thousand times a second for nothing, a steady drain
    // on the console's batteries while the calculator sits idle.
    // SDL_Init fails as a whole when any subsystem does, keeping those it
    // brought up: the window's events go with the video.
    const bool started = SDL_Init(SDL_SUBSYSTEMS) >= 0;
    if (SDL_WasInit(SDL_INIT_VIDEO)) enable_window_events();
    return started;
}

void enable_window_events() {
    // SDL_EventState polls every event away, a quit request among them: the
    // queue is taken aside first and queued again after, and a quit signal
    // is held back meanwhile, so that it comes after, as a queued quit event.
    const sigset_t previous = hold_quit_signals();
    // No window exists yet, so nothing of the window system's can be queued
    // meanwhile, and nothing queued points at a window-system message.
    SDL_Event kept[QUEUE_SIZE];
    const int count = SDL_PeepEvents(kept, QUEUE_SIZE, SDL_GETEVENT, SDL_ALLEVENTS);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    for (int i = 0; i < count; ++i) SDL_PushEvent(&kept[i]);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

bool idle_sleeps_on_x(bool x_watched, bool direct_touch, bool joystick_open) {
    return x_watched && !direct_touch && !joystick_open;
}

int x_wait_timeout_ms(bool pressed, std::uint32_t deadline, std::uint32_t now) {
    if (!pressed) return -1;  // any change comes as an X event
    return repeat_guard_running(deadline, now) ? static_cast<int>(deadline - now) : 0;
}

void pause_native_idle(bool on_x_connection, bool keyboard_held, bool held_press_repeats, int longest_ms) {
    if (!on_x_connection) {
        SDL_Delay(idle_wait_ms(app.next_accept_ms, platform.clock()));
        return;
    }
    const bool pressed = held_press_repeats && SDL_GetMouseState(nullptr, nullptr) != 0;
    int timeout = x_wait_timeout_ms(pressed, app.next_accept_ms, platform.clock());
    if (keyboard_held) timeout = timeout < 0 ? KEY_HELD_WAIT_MS : std::min(timeout, KEY_HELD_WAIT_MS);
    if (longest_ms >= 0) timeout = timeout < 0 ? longest_ms : std::min(timeout, longest_ms);
    wait_for_x_event(timeout);
}

void wait_unless_queued(int fd, int timeout_ms, bool (*queued)()) {
    // SDL turns SIGINT and SIGTERM into quit events from its signal handler.
    // Held back from the look below until the wait itself, a signal either
    // came before it, and its quit event is seen queued, or it ends the wait.
    const sigset_t previous = hold_quit_signals();
    if (!queued()) wait_for_input(fd, timeout_ms, &previous);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

bool wait_for_input(int fd, int timeout_ms, const sigset_t* signals) {
    pollfd input{fd, POLLIN, 0};
    timespec limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000000L};
    return ppoll(&input, 1, timeout_ms < 0 ? nullptr : &limit, signals) > 0;
}

}  // namespace tarno
