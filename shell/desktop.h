// What only the desktop window has besides its backend: a click whose audio
// device is open only while the calculator clicks, and the values kept
// between runs in a state file. The handheld's program has neither: its
// device is open from start to end and it keeps nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backend.h"

namespace tarno {

// --- The click ---

// The mixer's Sound, but the audio device opened for a click and closed once
// the clicks have been quiet for a while; the volume kept meanwhile.
Sound& quiet_sound();

// Closes the quiet sound's device when its quiet while is over: how many
// milliseconds until it is to be closed, or -1 when it is closed.
int close_sound_when_quiet();

// --- The taskbar's icon ---

// Sets the window's _NET_WM_ICON, where taskbars look for a running
// program's icon: icon holds the width, the height, then the pixels row by
// row as 0xAARRGGBB. Only after watch_x_connection said true; the build
// without X11 has no window to set it on.
void set_taskbar_icon(const std::vector<std::uint32_t>& icon);

// --- The kept state ---

// The state file: $XDG_STATE_HOME/tarno/state, or ~/.local/state/tarno/state
// when XDG_STATE_HOME (xdg_state_home) is unset, empty or relative, with
// home for ~; empty when neither names a folder.
std::string state_file_path(const char* xdg_state_home, const char* home);

// At start-up, after the power-on: the kept values from the state file, when
// it holds valid ones; one line on standard error when it is there but
// cannot be taken, and the calculator starts as without one.
void restore_state_file();

// After a key: writes the kept values to the state file when the key changed
// them. When that fails, one line on standard error, and nothing more is kept.
void keep_state_file();

}  // namespace tarno
