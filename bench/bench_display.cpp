// How long the display takes: the quarter turn of the texts that the screen
// shows, rendered with the calculator's own font, and one whole redraw (the
// keypad picture read from its file, five texts rendered and turned, a flip)
// on SDL's dummy video driver, the desktop window's upright presentation of
// a screen at 1x, 2x and 3x, and opening the font at all its sizes. The
// number line's turn is also timed in alternation with its peers on the same
// surface, and printed after the runs as ratios: SDL_gfx's
// rotateSurface90Degrees, a new surface with a plain copy of the same bytes
// (the floor that no turn can beat), and the general 16.16 loop. Run from
// the repository root.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SDL_rotozoom.h"
#include "calc.h"
#include "display.h"

namespace {

// What every benchmark draws with, set up once in main.
struct Setup {
    SDL_Surface* screen = nullptr;
    tarno::Fonts fonts{};
};

Setup setup;

// The longest kind of number line and a status text, as the screen renders them.
constexpr char NUMBER_LINE[] = " -1.234560E+05";
constexpr char STATUS_TEXT[] = "Norm";

SDL_Surface* render(TTF_Font* font, const char* text) {
    return TTF_RenderText_Blended(font, text, SDL_Color{0, 0, 0, 0});
}

// The ways to turn a rendered text (or, for the floor, to copy it) that are
// set against each other; each makes a new surface and frees it.

// As the screen does: 90 degrees, zoom 1, no filtering.
void turn_as_the_screen(SDL_Surface* rendered) {
    SDL_Surface* turned = tarno::rotate_quarter_turn(rendered, 90.0, 1.0, 0);
    benchmark::DoNotOptimize(turned);
    SDL_FreeSurface(turned);
}

// Through the general 16.16 loop: a zoom just under 1 has the same step.
void turn_by_the_general_loop(SDL_Surface* rendered) {
    SDL_Surface* turned = tarno::rotate_quarter_turn(rendered, 90.0, 0.99999, 0);
    benchmark::DoNotOptimize(turned);
    SDL_FreeSurface(turned);
}

// SDL_gfx's turn: three clockwise quarter turns make the calculator's
// counter-clockwise one.
void turn_by_sdl_gfx(SDL_Surface* rendered) {
    SDL_Surface* turned = rotateSurface90Degrees(rendered, 3);
    benchmark::DoNotOptimize(turned);
    SDL_FreeSurface(turned);
}

// The floor that no turn can beat: a new surface of the turned size and
// format, and a plain copy of the same bytes into it.
void copy_plainly(SDL_Surface* rendered) {
    const SDL_PixelFormat* f = rendered->format;
    SDL_Surface* copy =
        SDL_CreateRGBSurface(0, rendered->h, rendered->w, 32, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    std::memcpy(copy->pixels, rendered->pixels, static_cast<std::size_t>(rendered->pitch) * rendered->h);
    benchmark::DoNotOptimize(copy->pixels);
    SDL_FreeSurface(copy);
}

using Way = void (*)(SDL_Surface*);

// Times one way on a rendered text, once per iteration.
void time_way(benchmark::State& state, TTF_Font* font, const char* text, Way way) {
    SDL_Surface* rendered = render(font, text);
    if (rendered == nullptr) {
        state.SkipWithError("the text could not be rendered");
        return;
    }
    for (auto _ : state) way(rendered);
    state.SetLabel(std::to_string(rendered->w) + "x" + std::to_string(rendered->h));
    state.SetItemsProcessed(state.iterations() * rendered->w * rendered->h);
    SDL_FreeSurface(rendered);
}

void BM_TurnNumberLine(benchmark::State& state) {
    time_way(state, setup.fonts.font_large, NUMBER_LINE, turn_as_the_screen);
}
BENCHMARK(BM_TurnNumberLine);

void BM_TurnStatusText(benchmark::State& state) {
    time_way(state, setup.fonts.font_small, STATUS_TEXT, turn_as_the_screen);
}
BENCHMARK(BM_TurnStatusText);

void BM_TurnNumberLineGeneralLoop(benchmark::State& state) {
    time_way(state, setup.fonts.font_large, NUMBER_LINE, turn_by_the_general_loop);
}
BENCHMARK(BM_TurnNumberLineGeneralLoop);

void BM_TurnNumberLineSdlGfx(benchmark::State& state) {
    time_way(state, setup.fonts.font_large, NUMBER_LINE, turn_by_sdl_gfx);
}
BENCHMARK(BM_TurnNumberLineSdlGfx);

void BM_CopyNumberLine(benchmark::State& state) {
    time_way(state, setup.fonts.font_large, NUMBER_LINE, copy_plainly);
}
BENCHMARK(BM_CopyNumberLine);

// The number line's turn against its peers, in alternating batches, so
// that whatever else the machine does slows them all alike. The counters
// hold each peer's time over the turn's ("gfx": SDL_gfx, "floor": the plain
// copy, "general": the general loop).
void BM_TurnNumberLineAgainstPeers(benchmark::State& state) {
    SDL_Surface* rendered = render(setup.fonts.font_large, NUMBER_LINE);
    if (rendered == nullptr) {
        state.SkipWithError("the text could not be rendered");
        return;
    }
    using Clock = std::chrono::steady_clock;
    constexpr int BATCH = 32;
    const Way ways[] = {turn_as_the_screen, turn_by_sdl_gfx, copy_plainly, turn_by_the_general_loop};
    Clock::duration spent[4] = {};
    for (auto _ : state) {
        for (int w = 0; w < 4; ++w) {
            const Clock::time_point start = Clock::now();
            for (int i = 0; i < BATCH; ++i) ways[w](rendered);
            spent[w] += Clock::now() - start;
        }
    }
    const double turn = std::chrono::duration<double>(spent[0]).count();
    state.counters["gfx"] = std::chrono::duration<double>(spent[1]).count() / turn;
    state.counters["floor"] = std::chrono::duration<double>(spent[2]).count() / turn;
    state.counters["general"] = std::chrono::duration<double>(spent[3]).count() / turn;
    SDL_FreeSurface(rendered);
}
BENCHMARK(BM_TurnNumberLineAgainstPeers)->Unit(benchmark::kMicrosecond);

void BM_RenderNumberLine(benchmark::State& state) {
    for (auto _ : state) {
        SDL_Surface* rendered = render(setup.fonts.font_large, NUMBER_LINE);
        benchmark::DoNotOptimize(rendered);
        SDL_FreeSurface(rendered);
    }
}
BENCHMARK(BM_RenderNumberLine);

// What start-up spends on the font: every size opened from its own stream
// and checked for ink, then closed again.
void BM_OpenFonts(benchmark::State& state) {
    for (auto _ : state) {
        tarno::Fonts fonts = tarno::open_fonts(tarno::FONT_FILE, stderr);
        benchmark::DoNotOptimize(fonts.font_large);
        tarno::close_fonts(fonts);
    }
}
BENCHMARK(BM_OpenFonts)->Unit(benchmark::kMicrosecond);

// A screen with every text shown: an open parenthesis, the memory mark, and
// a negative number with an exponent.
void enter_busy_state() {
    tarno::power_on();
    using namespace tarno;
    const KeyCode keys[] = {KEY_OPEN, KEY_1, KEY_POINT, KEY_2, KEY_3, KEY_4, KEY_5,  KEY_6,
                            KEY_7,    KEY_EXP, KEY_5,   KEY_SIGN, KEY_STORE};
    for (tarno::KeyCode key : keys) tarno::handle_key(key);
}

void BM_RedrawScreen(benchmark::State& state) {
    for (auto _ : state) tarno::redraw_screen(setup.screen, setup.fonts, tarno::read_only_calc_state());
}
BENCHMARK(BM_RedrawScreen)->Unit(benchmark::kMicrosecond);

// The desktop window's presentation of one composed screen, beside the
// landscape redraw above: turned upright and scaled by whole pixels into a
// 16-bit surface of the window's size (the flip to the X server is SDL's).
void BM_PresentUpright(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    SDL_Surface* window = SDL_CreateRGBSurface(SDL_SWSURFACE, 240 * scale, 320 * scale, 16, 0xF800, 0x07E0, 0x001F, 0);
    tarno::redraw_screen(setup.screen, setup.fonts, tarno::read_only_calc_state());
    for (auto _ : state) {
        tarno::turn_clockwise(setup.screen, window, scale);
        benchmark::DoNotOptimize(window->pixels);
    }
    SDL_FreeSurface(window);
}
BENCHMARK(BM_PresentUpright)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// The console's table, then the number line's turn set against its peers
// as the interleaved run measured them.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_name.function_name == "BM_TurnNumberLineAgainstPeers") peers_ = run.counters;
    }

    void print_turn_ratios() const {
        if (peers_.empty()) return;
        std::printf("\nThe number line's turn (\"%s\", 30 pt), timed in alternation with:\n", NUMBER_LINE);
        const std::pair<const char*, const char*> peers[] = {
            {"gfx", "SDL_gfx rotateSurface90Degrees"},
            {"floor", "new surface + memcpy (the floor)"},
            {"general", "the general 16.16 loop"}};
        for (const auto& [name, label] : peers) {
            const auto peer = peers_.find(name);
            if (peer != peers_.end() && peer->second.value > 0)
                std::printf("  %-34s the turn takes %.2f times its time\n", label, 1.0 / peer->second.value);
        }
    }

private:
    benchmark::UserCounters peers_;
};

bool open_display() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || TTF_Init() < 0) {
        std::fprintf(stderr, "SDL could not start: %s\n", SDL_GetError());
        return false;
    }
    setup.screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
    setup.fonts = tarno::open_fonts(tarno::FONT_FILE, stderr);
    if (setup.screen == nullptr || setup.fonts.font_large == nullptr ||
        setup.fonts.font_small == nullptr) {
        std::fprintf(stderr, "No screen or no font (run from the repository root): %s\n",
                     SDL_GetError());
        return false;
    }
    return true;
}

void close_display() {
    tarno::close_fonts(setup.fonts);
    TTF_Quit();
    SDL_Quit();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const bool opened = open_display();
    if (opened) {
        enter_busy_state();
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.print_turn_ratios();
    }
    close_display();
    return opened ? 0 : 1;
}
