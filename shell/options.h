// The program's command line: --desktop, --scale=N, --help, --version.
#pragma once

#include <string>

namespace tarno {

// What the command line asks for. Without options the program is the
// handheld's; only desktop launchers pass --desktop.
struct Options {
    bool desktop = false;  // --desktop: upright in a window, typed from the keyboard
    int scale = 0;         // --scale=N with --desktop: 1..MAX_SCALE; 0: default_scale
    bool help = false;     // --help: usage, options and keys on standard output
    bool version = false;  // --version: "tarno " and the version
};

// Reads the command line into options; false after one line naming the bad
// word (shown as shown_argument shows it), then the usage, on standard error.
bool read_options(int argc, const char* const* argv, Options& options);

// The text of --help: the usage, the options and the desktop window's keys.
std::string help_text();

}  // namespace tarno
