#include "shell_test_support.h"

#include <unistd.h>

namespace tarno::testing {

SDL_Surface* test_screen() {
    static SDL_Surface* screen = [] {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        return SDL_SetVideoMode(320, 240, 16, 0);
    }();
    return screen;
}

void ShellTest::SetUp() {
    app = AppState{};
    app.screen = test_screen();
    ASSERT_NE(app.screen, nullptr) << SDL_GetError();
    platform = Platform{test_clock, &sound};
    test_now = 1000000;
    test_clock_step = 0;
    power_on();
    SDL_Event stale;
    while (SDL_PollEvent(&stale)) {
    }
}

void ShellTest::TearDown() {
    if (app.touch_fd >= 0) close(app.touch_fd);
    platform = Platform{now_ms, &mixer_sound()};
    app = AppState{};
}

}  // namespace tarno::testing
