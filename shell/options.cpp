// The program's command line. Started from the handheld's menu it has none;
// a desktop's launcher asks for the window with --desktop.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "backend.h"
#include "keyboard.h"
#include "options.h"

namespace tarno {

namespace {

constexpr const char* USAGE = "usage: tarno [--desktop [--scale=N]] | --help | --version\n";

// Below the usage line.
constexpr const char* HELP =
    "\n"
    "A scientific pocket calculator. Without options it runs as on the GP2X\n"
    "handheld: its 320x240 screen held on its side, touched with the pen or\n"
    "clicked with the mouse (a held key repeats), any keyboard key quits, and\n"
    "the d-pad moves a key cursor whose key B or the stick's click presses.\n"
    "\n"
    "  --desktop    the calculator upright in a window, clicked with the mouse\n"
    "               and typed from the keyboard\n"
    "  --scale=N    with --desktop: each of the calculator's pixels N x N pixels\n"
    "               of the screen, N from 1 to 8; by default the largest at\n"
    "               which the window fits 90 % of the screen's height and width\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Keys of the window (the mouse's left button presses every key of the\n"
    "keypad as it is released over it; the middle button pastes):\n";

// Where the keys' descriptions begin on their lines.
constexpr std::size_t DOES_COLUMN = 24;

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

std::string help_text() {
    std::string text = std::string(USAGE) + HELP;
    for (const KeyboardLine& line : keyboard_lines()) {
        std::string typed = "  " + line.typed;
        typed.resize(std::max(DOES_COLUMN, typed.size() + 1), ' ');
        text += typed + line.does + "\n";
    }
    return text;
}

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
