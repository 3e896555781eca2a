// The shell's boundary: what the companion tools share with the calculator
// program. Free of SDL, so that the headless tools can use it.
#pragma once

#include <string>

#include "calc.h"

namespace tarno {

// The key under screen position (x, y), or 0 on no key. Used by the main
// loop for every accepted press and by the tools for taps.
KeyCode key_at(int x, int y);

// A command-line word as a message shows it back: its first 40 bytes, each
// byte outside printable ASCII as \xHH and a backslash as \\, then "..."
// when cut.
std::string shown_argument(const std::string& text);

// Opens /dev/null on each of standard input, output and error that is
// closed, so that no file the program opens later takes their place and
// receives its messages. The first thing every program of ours does.
void keep_standard_streams_open();

}  // namespace tarno
