// The program's command line. Started from the handheld's menu it has none;
// a desktop's launcher asks for the window with --desktop.
#include <cstdio>
#include <cstring>
#include <string>

#include "backend.h"
#include "options.h"

namespace tarno {

namespace {

constexpr const char* USAGE = "usage: tarno [--desktop [--scale=N]] | --help | --version\n";

// Below the usage line.
constexpr const char* HELP =
    "\n"
    "A scientific pocket calculator. Without options it runs as on the GP2X\n"
    "handheld: its 320x240 screen held on its side, touched with the pen or\n"
    "clicked with the mouse, and any keyboard key quits.\n"
    "\n"
    "  --desktop    the calculator upright in a window, clicked with the mouse\n"
    "               and typed from the keyboard\n"
    "  --scale=N    with --desktop: each of the calculator's pixels N x N pixels\n"
    "               of the screen, N from 1 to 8; by default the largest at\n"
    "               which the window fits 90 % of the screen's height\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Keys of the window (the mouse presses every key of the keypad):\n"
    "  0-9 . + - * / ^ ( ) %   the keypad's key of that sign (, is the point too;\n"
    "                          * is \xc3\x97, / is \xc3\xb7, ^ is x to the power y);\n"
    "                          the numeric keypad's keys as well\n"
    "  e E                     EXP\n"
    "  = Return Enter          =\n"
    "  Backspace               \xe2\x86\x90 (backspace)\n"
    "  Escape Delete           C\n"
    "  Ctrl+Q                  Off\n"
    "  Ctrl+C                  copies the number shown\n";

constexpr const char* SCALE_OPTION = "--scale=";

// N of --scale=N: one digit from 1 to MAX_SCALE, or 0 when it is anything else.
int read_scale(const char* text) {
    if (std::strlen(text) != 1 || text[0] < '1' || text[0] > '0' + MAX_SCALE) return 0;
    return text[0] - '0';
}

bool complain(const char* what, const std::string& word) {
    std::fprintf(stderr, "tarno: %s '%s'\n%s", what, shown_argument(word).c_str(), USAGE);
    return false;
}

}  // namespace

std::string help_text() { return std::string(USAGE) + HELP; }

bool read_options(int argc, const char* const* argv, Options& options) {
    std::string scale_word;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--desktop") {
            options.desktop = true;
        } else if (word.rfind(SCALE_OPTION, 0) == 0) {
            options.scale = read_scale(word.c_str() + std::strlen(SCALE_OPTION));
            if (options.scale == 0) return complain("bad scale, not a whole number from 1 to 8:", word);
            scale_word = word;
        } else if (word == "--help") {
            options.help = true;
        } else if (word == "--version") {
            options.version = true;
        } else {
            return complain("unknown option", word);
        }
    }
    if (options.scale != 0 && !options.desktop) return complain("a scale is for the window of --desktop:", scale_word);
    return true;
}

}  // namespace tarno
