// Bringing the calculator up and taking it down again, ending as the
// backend's platform ends: on the console, in its system menu.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "display.h"
#include "lifecycle.h"
#include "loop.h"

namespace tarno {

namespace {

// The last frame, a plain light blue, stays on the screen while the system
// menu starts: the calculator is visibly gone at once.
constexpr Uint8 LAST_FRAME_RGB[] = {128, 128, 255};

// The last picture before the menu takes over: a plain screen of one colour.
void blank_screen() {
    if (!app.screen) return;
    const Uint8* rgb = LAST_FRAME_RGB;
    SDL_FillRect(app.screen, nullptr, SDL_MapRGB(app.screen->format, rgb[0], rgb[1], rgb[2]));
    SDL_Flip(app.screen);
    platform.backend->show(app.screen);
    SDL_FreeSurface(app.screen);
    app.screen = nullptr;
}

}  // namespace

void start_up() {
    app.screen = platform.backend->open_screen();
    if (!app.screen) {
        // Nothing to draw on, nothing to tap: no point in going on.
        SDL_Quit();
        std::exit(1);
    }
    TTF_Init();
    power_on();
    platform.backend->restore_kept();
    // The calculator still works without its texts; a font that fails is
    // reported once, on standard error.
    app.fonts = open_fonts(FONT_FILE, stderr);
    platform.sound->open();
    platform.backend->start();
    draw_calculator(app.screen);
    app.next_accept_ms = platform.clock();  // the first press counts at once
    app.last_click_channel = -1;
    app.touch_fd = -1;
}

void wait_for_last_click() {
    if (app.last_click_channel == -1) return;
    // Bounded, so that a stalled audio device cannot keep the console from its menu.
    const std::uint32_t start = platform.clock();
    while (platform.sound->playing(app.last_click_channel) && platform.clock() - start < LAST_CLICK_WAIT_MS)
        SDL_Delay(1);
}

void shut_down() {
    platform.backend->close_input();
    blank_screen();
    close_fonts(app.fonts);
    wait_for_last_click();  // the Off key's own click is heard to its end
    platform.sound->close();
    SDL_Quit();
    platform.backend->end();
    std::exit(0);  // a backend whose end came back: the program ends all the same
}

void Backend::end() {
    // Off the console there is no menu to hand over to.
    std::exit(0);
}

void hand_over_to_menu(const char* directory, const char* program) {
    // Off the console neither the directory nor the program exists; the
    // calculator then simply ends, whatever chdir said.
    const int moved = chdir(directory);
    static_cast<void>(moved);
    execl(program, program, static_cast<char*>(nullptr));
    std::exit(0);
}

}  // namespace tarno
