// How long the display takes: the quarter turn of the texts that the screen
// shows, rendered with the calculator's own font, and one whole redraw (the
// keypad picture read from its file, five texts rendered and turned, a flip)
// on SDL's dummy video driver, and opening the font at all its sizes. Run
// from the repository root.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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
constexpr char NUMBER_LINE[] = " -1.234567E+05";
constexpr char STATUS_TEXT[] = "Norm";

SDL_Surface* render(TTF_Font* font, const char* text) {
    return TTF_RenderText_Blended(font, text, SDL_Color{0, 0, 0, 0});
}

// Turns one rendered text as the screen does (90 degrees, zoom 1, no
// filtering) and frees the result, once per iteration.
void turn_text(benchmark::State& state, TTF_Font* font, const char* text, double zoom) {
    SDL_Surface* rendered = render(font, text);
    if (rendered == nullptr) {
        state.SkipWithError("the text could not be rendered");
        return;
    }
    for (auto _ : state) {
        SDL_Surface* turned = tarno::rotate_quarter_turn(rendered, 90.0, zoom, 0);
        benchmark::DoNotOptimize(turned);
        SDL_FreeSurface(turned);
    }
    state.SetLabel(std::to_string(rendered->w) + "x" + std::to_string(rendered->h));
    state.SetItemsProcessed(state.iterations() * rendered->w * rendered->h);
    SDL_FreeSurface(rendered);
}

void BM_TurnNumberLine(benchmark::State& state) {
    turn_text(state, setup.fonts.font_large, NUMBER_LINE, 1.0);
}
BENCHMARK(BM_TurnNumberLine);

void BM_TurnStatusText(benchmark::State& state) {
    turn_text(state, setup.fonts.font_small, STATUS_TEXT, 1.0);
}
BENCHMARK(BM_TurnStatusText);

// The same turn through the general 16.16 loop (a zoom just under 1 has the
// same step): what the zoom-1 transpose saves.
void BM_TurnNumberLineGeneralLoop(benchmark::State& state) {
    turn_text(state, setup.fonts.font_large, NUMBER_LINE, 0.99999);
}
BENCHMARK(BM_TurnNumberLineGeneralLoop);

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
    const tarno::KeyCode keys[] = {65, 61, 72, 62, 63, 51, 52, 53, 41, 82, 52, 73, 45};
    for (tarno::KeyCode key : keys) tarno::handle_key(key);
}

void BM_RedrawScreen(benchmark::State& state) {
    for (auto _ : state) tarno::redraw_screen(setup.screen, setup.fonts, tarno::calc_state());
}
BENCHMARK(BM_RedrawScreen)->Unit(benchmark::kMicrosecond);

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
        benchmark::RunSpecifiedBenchmarks();
    }
    close_display();
    return opened ? 0 : 1;
}
