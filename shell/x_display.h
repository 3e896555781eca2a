// The X display, on SDL's X11 driver (x11.cpp on a desktop build; no_x11.cpp,
// which watches nothing, where the program is built without X11, as for
// the handheld).
#pragma once

#include <string>

#include "SDL.h"

namespace tarno {

// On SDL's X11 driver: readies waiting on its X connection, watching the
// window's destruction and owning the clipboard. False on any other driver.
bool watch_x_connection();

// Whether event reports that another client destroyed the calculator's window.
bool window_destroyed(const SDL_Event& event);

// Sleeps until SDL's X connection has an event, timeout_ms passes (-1: no
// limit) or SIGINT or SIGTERM comes. Only after watch_x_connection said true.
void wait_for_x_event(int timeout_ms);

// Takes the X clipboard (CLIPBOARD) with text, for other programs to paste.
void own_clipboard(const std::string& text);

// Answers another program's request for the clipboard's text (as TARGETS,
// UTF8_STRING or STRING) or notes that it took the clipboard; false for any
// other event.
bool answer_clipboard_event(const SDL_Event& event);

// Asks the owner of X's PRIMARY selection (primary) or of CLIPBOARD for its
// text; the answer comes as an event that pasted_text reads.
void ask_for_selection(bool primary);

// Whether event is the answer to ask_for_selection; the text into text, ""
// when there was none (no owner, no text, an owner that went away, or a
// text sent in pieces, far longer than a paste may be).
bool pasted_text(const SDL_Event& event, std::string& text);

}  // namespace tarno
