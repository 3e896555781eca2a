// The calculator on an X display: an idle loop that sleeps on SDL's X
// connection until the window system has something for it, and a window
// destroyed by another client taken as a request to quit.
#include <poll.h>
#include <signal.h>

#include <cstring>

#include "SDL_syswm.h"
#include "shell_internal.h"

namespace tarno {

namespace {

// SDL's connection for events and the two windows it made, while watched.
Display* x_display = nullptr;
Window x_window = 0;
Window x_wm_window = 0;

XErrorHandler sdl_error_handler = nullptr;
bool window_gone = false;

// Once the window is gone, SDL's last drawing into it and its taking it down
// at the shutdown fail on a window that no longer exists; those failures are
// expected and must not end the program with an error. Until then every
// error goes to SDL's own handler as before.
int on_x_error(Display* display, XErrorEvent* error) {
    if (window_gone) return 0;
    return sdl_error_handler ? sdl_error_handler(display, error) : 0;
}

bool on_x11() {
    char name[16] = {};
    return SDL_VideoDriverName(name, sizeof name) && std::strcmp(name, "x11") == 0;
}

}  // namespace

bool watch_x_connection() {
    if (!on_x11()) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11) return false;
    x_display = info.info.x11.display;
    x_window = info.info.x11.window;
    x_wm_window = info.info.x11.wmwindow;
    // The window's destruction reaches the calculator only as a raw X event.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    sdl_error_handler = XSetErrorHandler(on_x_error);
    return true;
}

bool window_destroyed(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || !x_display || event.syswm.msg->subsystem != SDL_SYSWM_X11) return false;
    const XEvent& x = event.syswm.msg->event.xevent;
    if (x.type != DestroyNotify) return false;
    const Window gone = x.xdestroywindow.window;
    window_gone = gone == x_window || gone == x_wm_window;
    return window_gone;
}

void wait_for_x_event(int timeout_ms) {
    // SDL turns SIGINT and SIGTERM into quit events from its signal handler.
    // Held back from the checks below until the wait itself, a signal either
    // came before them, and its quit event is seen queued, or it ends the wait.
    sigset_t quit_signals, previous;
    sigemptyset(&quit_signals);
    sigaddset(&quit_signals, SIGINT);
    sigaddset(&quit_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &quit_signals, &previous);
    // Xlib may hold events it has read already, which the connection's
    // descriptor no longer shows; QueuedAfterFlush also sends what SDL drew,
    // so the server's answers to it can come.
    const bool queued = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0 ||
                        XEventsQueued(x_display, QueuedAfterFlush) > 0;
    if (!queued) wait_for_input(ConnectionNumber(x_display), timeout_ms, &previous);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

bool wait_for_input(int fd, int timeout_ms, const sigset_t* signals) {
    pollfd input{fd, POLLIN, 0};
    timespec limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000000L};
    return ppoll(&input, 1, timeout_ms < 0 ? nullptr : &limit, signals) > 0;
}

}  // namespace tarno
