// Bringing the calculator up and taking it down again, ending in the
// console's system menu.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "shell_internal.h"
#include "display.h"

namespace tarno {

namespace {

// The click's output: mono 8-bit at a low rate with a buffer of 32 samples,
// under 1.5 ms, so that the click sounds with the tap and not after it.
constexpr int AUDIO_RATE = 22050;
constexpr int AUDIO_CHANNELS = 1;
constexpr int AUDIO_BUFFER_SAMPLES = 32;

// The last frame, a plain light blue, stays on the screen while the system
// menu starts: the calculator is visibly gone at once.
constexpr Uint8 LAST_FRAME_RGB[] = {128, 128, 255};

void open_sound() {
    // SDL's error text outlives the call that set it (the joystick's, say):
    // cleared first, a failure reports only what the mixer itself said.
    SDL_ClearError();
    if (Mix_OpenAudio(AUDIO_RATE, AUDIO_S8, AUDIO_CHANNELS, AUDIO_BUFFER_SAMPLES) != 0)
        std::fprintf(stderr, "Unable to initialize audio: %s\n", SDL_GetError());
    app.click_sound = load_click(CLICK_FILE);
    if (!app.click_sound) std::fprintf(stderr, "Unable to load WAV file: %s\n", SDL_GetError());
}

// The last picture before the menu takes over: a plain screen of one colour.
void blank_screen() {
    if (!app.screen) return;
    const Uint8* rgb = LAST_FRAME_RGB;
    SDL_FillRect(app.screen, nullptr, SDL_MapRGB(app.screen->format, rgb[0], rgb[1], rgb[2]));
    SDL_Flip(app.screen);
    SDL_FreeSurface(app.screen);
    app.screen = nullptr;
}

}  // namespace

void start_up() {
    // No SDL_INIT_TIMER: the calculator sets no SDL timers, and SDL's timer
    // thread would wake a thousand times a second for nothing, a steady drain
    // on the console's batteries while the calculator sits idle.
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0)
        std::fputs("Couldn't initialize SDL", stderr);
    app.screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BITS, 0);
    if (!app.screen) {
        // Nothing to draw on, nothing to tap: no point in going on.
        std::fputs("Couldn't set video mode", stderr);
        SDL_Quit();
        std::exit(1);
    }
    SDL_JoystickOpen(0);  // the GP2X's buttons; SDL keeps the handle
    TTF_Init();
    power_on();
    // The calculator still works without its texts; a font that fails is
    // reported once, on standard error.
    app.fonts = open_fonts(FONT_FILE, stderr);
    open_sound();
    check_firmware_version(FIRMWARE_VERSION_FILE);
    redraw_screen(app.screen, app.fonts, read_only_calc_state());
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
    close_touch_device();
    blank_screen();
    close_fonts(app.fonts);
    wait_for_last_click();  // the Off key's own click is heard to its end
    Mix_FreeChunk(app.click_sound);
    app.click_sound = nullptr;
    Mix_CloseAudio();
    SDL_Quit();
    hand_over_to_menu(MENU_DIRECTORY, MENU_PROGRAM);
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
