// tarno-redraw-driver N [KEY...]: powers the calculator on, runs the key
// codes, then redraws the screen N times on SDL's dummy video driver and
// quits. It does nothing else, so that bench/redraw_cost.sh can count the
// instructions of N redraws under callgrind. Run from the repository root,
// where it finds tarno/.
#include <cstdio>
#include <cstdlib>

#include "calc.h"
#include "display.h"

namespace {

constexpr const char* USAGE = "usage: tarno-redraw-driver N [KEY...]";

bool read_count(const char* text, int& count) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 0 || value > 100000) return false;
    count = static_cast<int>(value);
    return true;
}

bool run_keys(int count, char** keys) {
    tarno::power_on();
    for (int i = 0; i < count; ++i) {
        int key = 0;
        if (!read_count(keys[i], key)) {
            std::fprintf(stderr, "tarno-redraw-driver: not a key code: '%s'\n", keys[i]);
            return false;
        }
        tarno::handle_key(key);
    }
    return true;
}

// Redraws as the calculator would with its screen and both fonts.
bool redraw(int times) {
    SDL_Surface* screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
    tarno::Fonts fonts = tarno::open_fonts(tarno::FONT_FILE, stderr);
    const bool ready = screen != nullptr && fonts.font_large != nullptr && fonts.font_small != nullptr;
    if (!ready)
        std::fprintf(stderr, "tarno-redraw-driver: no screen or no font (run from the repository root): %s\n",
                     SDL_GetError());
    for (int i = 0; ready && i < times; ++i) tarno::redraw_screen(screen, fonts, tarno::read_only_calc_state());
    tarno::close_fonts(fonts);
    return ready;
}

}  // namespace

int main(int argc, char** argv) {
    int times = 0;
    if (argc < 2 || !read_count(argv[1], times)) {
        std::fprintf(stderr, "%s\n", USAGE);
        return 2;
    }
    if (!run_keys(argc - 2, argv + 2)) return 2;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || TTF_Init() < 0) {
        std::fprintf(stderr, "tarno-redraw-driver: SDL could not start: %s\n", SDL_GetError());
        return 1;
    }
    const bool drawn = redraw(times);
    TTF_Quit();
    SDL_Quit();
    return drawn ? 0 : 1;
}
