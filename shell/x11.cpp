// The calculator on an X display: an idle loop that sleeps on SDL's X
// connection until the window system has something for it, a window
// destroyed by another client taken as a request to quit, the clipboard
// that Ctrl+C fills in the desktop window, the text that a paste asks
// other programs for, and the window's icon for taskbars.
//
// Sections: the connection; waiting; the clipboard; the taskbar's icon.
#include <X11/Xatom.h>
#include <X11/Xproto.h>

#include <cstring>

#include "SDL_syswm.h"
#include "desktop.h"
#include "native_idle.h"
#include "x_display.h"

namespace tarno {

// --- The connection ---

namespace {

// SDL's connection for events and the two windows it made, while watched.
Display* x_display = nullptr;
Window x_window = 0;
Window x_wm_window = 0;
// SDL's lock of the connection, taken around our own requests.
void (*lock_display)() = nullptr;
void (*unlock_display)() = nullptr;

XErrorHandler sdl_error_handler = nullptr;
bool window_gone = false;

// Whether error comes from the calculator's talk with another program over
// the clipboard: writing an answer into a requestor's window, sending it
// word, reading what an owner wrote. The other program may have closed its
// window meanwhile, or named a property that is no atom: its failing, not
// the calculator's.
bool clipboard_error(const XErrorEvent& error) {
    switch (error.request_code) {
    case X_ChangeProperty:
    case X_SendEvent:
    case X_ConvertSelection:
    case X_GetProperty:
    case X_DeleteProperty: return true;
    default: return false;
    }
}

// Once the window is gone, SDL's last drawing into it and its taking it down
// at the shutdown fail on a window that no longer exists; those failures are
// expected and must not end the program with an error, and neither must a
// failure of another program's over the clipboard. Otherwise every error
// goes to SDL's own handler as before.
int on_x_error(Display* display, XErrorEvent* error) {
    if (window_gone || clipboard_error(*error)) return 0;
    return sdl_error_handler ? sdl_error_handler(display, error) : 0;
}

bool on_x11() {
    char name[16] = {};
    return SDL_VideoDriverName(name, sizeof name) && std::strcmp(name, "x11") == 0;
}

// The X event inside an SDL_SYSWMEVENT of ours, or null.
const XEvent* x_event_of(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || !x_display || event.syswm.msg->subsystem != SDL_SYSWM_X11) return nullptr;
    return &event.syswm.msg->event.xevent;
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
    lock_display = info.info.x11.lock_func;
    unlock_display = info.info.x11.unlock_func;
    sdl_error_handler = XSetErrorHandler(on_x_error);
    return true;
}

bool window_destroyed(const SDL_Event& event) {
    const XEvent* x = x_event_of(event);
    if (x == nullptr || x->type != DestroyNotify) return false;
    const Window gone = x->xdestroywindow.window;
    window_gone = gone == x_window || gone == x_wm_window;
    return window_gone;
}

// --- Waiting ---

namespace {

// Xlib may hold events it has read already, which the connection's
// descriptor no longer shows; QueuedAfterFlush also sends what SDL drew,
// so the server's answers to it can come.
bool x_events_waiting() {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0 ||
           XEventsQueued(x_display, QueuedAfterFlush) > 0;
}

}  // namespace

void wait_for_x_event(int timeout_ms) {
    wait_unless_queued(ConnectionNumber(x_display), timeout_ms, x_events_waiting);
}

// --- The clipboard ---

namespace {

std::string clipboard_text;  // what the calculator offers while it owns the clipboard

// The property of the calculator's window that a selection's text is written into.
constexpr const char* PASTE_PROPERTY = "TARNO_PASTE";
constexpr long PASTE_READ_LONGS = 1 << 16;  // 256 KiB, the most one X request holds by default

Atom atom(const char* name) { return XInternAtom(x_display, name, False); }

// Writes the answer to request into its requestor's property: the targets
// offered, or the text; false for a target not offered.
bool write_answer(const XSelectionRequestEvent& request, Atom property) {
    const Atom targets = atom("TARGETS"), utf8 = atom("UTF8_STRING");
    if (request.target == targets) {
        const Atom offered[] = {targets, utf8, XA_STRING};
        XChangeProperty(x_display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 3);
        return true;
    }
    if (request.target != utf8 && request.target != XA_STRING) return false;
    // The number's characters are ASCII: the same bytes in UTF-8 and Latin-1.
    XChangeProperty(x_display, request.requestor, property, request.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(clipboard_text.data()),
                    static_cast<int>(clipboard_text.size()));
    return true;
}

void answer(const XSelectionRequestEvent& request) {
    // A client of the old conventions names no property: the target is it.
    const Atom property = request.property != None ? request.property : request.target;
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    const bool ours = request.selection == atom("CLIPBOARD") && !clipboard_text.empty();
    reply.property = ours && write_answer(request, property) ? property : None;
    XEvent sent;
    sent.xselection = reply;
    XSendEvent(x_display, request.requestor, False, NoEventMask, &sent);
    XFlush(x_display);
}

}  // namespace

void own_clipboard(const std::string& text) {
    if (!x_display) return;
    lock_display();
    clipboard_text = text;
    XSetSelectionOwner(x_display, atom("CLIPBOARD"), x_window, CurrentTime);
    if (XGetSelectionOwner(x_display, atom("CLIPBOARD")) != x_window) clipboard_text.clear();
    XFlush(x_display);
    unlock_display();
}

void ask_for_selection(bool primary) {
    if (!x_display) return;
    lock_display();
    XConvertSelection(x_display, primary ? XA_PRIMARY : atom("CLIPBOARD"), atom("UTF8_STRING"), atom(PASTE_PROPERTY),
                      x_window, CurrentTime);
    XFlush(x_display);
    unlock_display();
}

bool pasted_text(const SDL_Event& event, std::string& text) {
    const XEvent* x = x_event_of(event);
    if (x == nullptr || x->type != SelectionNotify || x->xselection.requestor != x_window) return false;
    text.clear();
    if (x->xselection.property == None) return true;  // no owner, or no text from it
    lock_display();
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x_display, x_window, x->xselection.property, 0, PASTE_READ_LONGS, True,
                           AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
        data != nullptr) {
        // Text in bytes, read whole; anything else (a transfer in pieces,
        // INCR, among them, or more than was read) is no paste.
        if (format == 8 && after == 0 && (type == atom("UTF8_STRING") || type == XA_STRING))
            text.assign(reinterpret_cast<const char*>(data), items);
        XFree(data);
    }
    unlock_display();
    return true;
}

bool answer_clipboard_event(const SDL_Event& event) {
    const XEvent* x = x_event_of(event);
    if (x == nullptr) return false;
    if (x->type == SelectionClear) {
        clipboard_text.clear();  // another program copied something: no longer ours to offer
        return true;
    }
    if (x->type != SelectionRequest) return false;
    lock_display();
    answer(x->xselectionrequest);
    unlock_display();
    return true;
}

// --- The taskbar's icon ---

void set_taskbar_icon(const std::vector<std::uint32_t>& icon) {
    if (!x_display || icon.size() < 2) return;
    // Xlib takes the 32-bit values of a property as longs.
    const std::vector<unsigned long> values(icon.begin(), icon.end());
    lock_display();
    XChangeProperty(x_display, x_wm_window, atom("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
    XFlush(x_display);
    unlock_display();
}

}  // namespace tarno
