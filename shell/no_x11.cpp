// The calculator where there is no X display to know of: the handheld's
// SDL draws on the console's frame buffer and has no X11 driver, so its
// program is built with this in place of x11.cpp. Nothing is watched: an
// idle pass keeps its short SDL_Delay, no window can be destroyed by another
// client, and there is no clipboard to fill nor taskbar to show an icon.
#include "desktop.h"
#include "x_display.h"

namespace tarno {

bool watch_x_connection() { return false; }

bool window_destroyed(const SDL_Event&) { return false; }

// Never reached: the idle pause sleeps on X only once it is watched.
void wait_for_x_event(int) {}

void own_clipboard(const std::string&) {}

bool answer_clipboard_event(const SDL_Event&) { return false; }

void ask_for_selection(bool) {}

bool pasted_text(const SDL_Event&, std::string&) { return false; }

void set_taskbar_icon(const std::vector<std::uint32_t>&) {}

}  // namespace tarno
