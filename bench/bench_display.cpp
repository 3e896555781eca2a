// How long the display takes: the quarter turn of the texts that the screen
// shows, rendered with the calculator's own font, and one whole redraw (the
// keypad picture read from its file, five texts rendered and turned, a flip)
// on SDL's dummy video driver. The number line's turn is set beside two
// others of the same surface, printed as ratios after the runs: SDL_gfx's
// rotateSurface90Degrees, and a new surface with a plain copy of the same
// bytes (the floor that no turn can beat). Run from the repository root.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "SDL_rotozoom.h"
#include "calc.h"
#include "display.h"

namespace {

// What every benchmark draws with, set up once in main.
struct Setup {
    SDL_Surface* screen = nullptr;
    tarno::Fonts fonts{nullptr, nullptr};
};

Setup setup;

// The longest kind of number line and a status text, as the screen renders them.
constexpr char NUMBER_LINE[] = " -1.234560E+05";
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
// The three that are set against each other run nine times each, and the
// fastest run counts: the others are the ones that the machine disturbed.
double fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

void compared(benchmark::internal::Benchmark* b) {
    b->Repetitions(9)->ReportAggregatesOnly(true)->ComputeStatistics("min", fastest);
}

BENCHMARK(BM_TurnNumberLine)->Apply(compared);

// The same surface turned by SDL_gfx; three clockwise quarter turns make
// the calculator's counter-clockwise one.
void BM_TurnNumberLineSdlGfx(benchmark::State& state) {
    SDL_Surface* rendered = render(setup.fonts.font_large, NUMBER_LINE);
    if (rendered == nullptr) {
        state.SkipWithError("the text could not be rendered");
        return;
    }
    for (auto _ : state) {
        SDL_Surface* turned = rotateSurface90Degrees(rendered, 3);
        benchmark::DoNotOptimize(turned);
        SDL_FreeSurface(turned);
    }
    SDL_FreeSurface(rendered);
}
BENCHMARK(BM_TurnNumberLineSdlGfx)->Apply(compared);

// The floor: a new surface of the turned size and format, and a plain copy
// of the rendered bytes into it (the same number of bytes as the turn moves).
void BM_CopyNumberLine(benchmark::State& state) {
    SDL_Surface* rendered = render(setup.fonts.font_large, NUMBER_LINE);
    if (rendered == nullptr) {
        state.SkipWithError("the text could not be rendered");
        return;
    }
    const SDL_PixelFormat* f = rendered->format;
    const std::size_t bytes = static_cast<std::size_t>(rendered->pitch) * rendered->h;
    for (auto _ : state) {
        SDL_Surface* copy =
            SDL_CreateRGBSurface(0, rendered->h, rendered->w, 32, f->Rmask, f->Gmask, f->Bmask, f->Amask);
        std::memcpy(copy->pixels, rendered->pixels, bytes);
        benchmark::DoNotOptimize(copy->pixels);
        SDL_FreeSurface(copy);
    }
    SDL_FreeSurface(rendered);
}
BENCHMARK(BM_CopyNumberLine)->Apply(compared);

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

// The console's table, and beside it the time of each run, kept to set the
// number line's turn against its peers once all have run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        // Repeated runs count by their fastest.
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "min")
                nanoseconds_[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }

    // Prints "the turn / peer" for each peer that ran (with the turn itself).
    void print_turn_ratios() const {
        const auto turn = nanoseconds_.find("BM_TurnNumberLine");
        if (turn == nanoseconds_.end()) return;
        std::printf("\nThe number line's turn (\"%s\", 30 pt) against:\n", NUMBER_LINE);
        const std::pair<const char*, const char*> peers[] = {
            {"BM_TurnNumberLineSdlGfx", "SDL_gfx rotateSurface90Degrees"},
            {"BM_CopyNumberLine", "new surface + memcpy (floor)"},
            {"BM_TurnNumberLineGeneralLoop", "the general 16.16 loop"}};
        for (const auto& [name, label] : peers) {
            const auto peer = nanoseconds_.find(name);
            if (peer != nanoseconds_.end() && peer->second > 0)
                std::printf("  %-32s %5.2fx its time\n", label, turn->second / peer->second);
        }
    }

private:
    std::map<std::string, double> nanoseconds_;
};

bool open_display() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || TTF_Init() < 0) {
        std::fprintf(stderr, "SDL could not start: %s\n", SDL_GetError());
        return false;
    }
    setup.screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
    setup.fonts.font_large = TTF_OpenFont("tarno/arial.ttf", 30);
    setup.fonts.font_small = TTF_OpenFont("tarno/arial.ttf", 15);
    if (setup.screen == nullptr || setup.fonts.font_large == nullptr ||
        setup.fonts.font_small == nullptr) {
        std::fprintf(stderr, "No screen or no font (run from the repository root): %s\n",
                     SDL_GetError());
        return false;
    }
    return true;
}

void close_display() {
    if (setup.fonts.font_large != nullptr) TTF_CloseFont(setup.fonts.font_large);
    if (setup.fonts.font_small != nullptr) TTF_CloseFont(setup.fonts.font_small);
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
