// The shell's boundary: what the companion tools share with the calculator
// program. Free of SDL, so that the headless tools can use it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "calc.h"

namespace tarno {

// The key under screen position (x, y), or 0 on no key. Used by the main
// loop for every accepted press and by the tools for taps.
KeyCode key_at(int x, int y);

// A key's cell on the landscape screen, as drawn: w x h pixels from (x, y);
// the equals key's is its two cells with the gap between them. All zero for
// a code that names no key.
struct KeyCell {
    int x, y, w, h;
};
KeyCell key_cell(KeyCode key);

// A command-line word as a message shows it back: its first limit bytes,
// each byte outside printable ASCII as \xHH and a backslash as \\, then
// "..." when cut. A path is shown whole (WHOLE), since a part names another file.
constexpr std::size_t SHOWN_BYTES = 40;
constexpr std::size_t WHOLE = static_cast<std::size_t>(-1);
std::string shown_argument(const std::string& text, std::size_t limit = SHOWN_BYTES);

// Opens /dev/null on each of standard input, output and error that is
// closed, so that no file the program opens later takes their place and
// receives its messages. The first thing every program of ours does.
void keep_standard_streams_open();

// Whether opening a pipe that no program reads yet waits for one (the tools,
// as a shell's redirection does) or fails at once (the calculator, which
// must not hang).
enum class Reader { WAIT, DONT_WAIT };

// Writes bytes to path. Where path, its links followed, names a regular file
// or nothing yet, they go into a new file beside it, which replaces it (with
// its permissions) only once whole and synced, and is removed otherwise; the
// links stay. Where it names anything else (a device, a pipe, /dev/stdout),
// they are written into it as they are. False with the reason in error.
bool write_file(const std::string& path, std::string_view bytes, Reader reader, std::string& error);

}  // namespace tarno
