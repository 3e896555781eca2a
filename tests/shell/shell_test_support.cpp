#include "shell_test_support.h"

#include <unistd.h>

namespace tarno::shell_test {

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
    platform = Platform{test_clock, &sound, &handheld_backend()};
    test_now = 1000000;
    test_clock_step = 0;
    power_on();
    reset_input();
    SDL_Event stale;
    while (SDL_PollEvent(&stale)) {
    }
}

void ShellTest::TearDown() {
    if (app.touch_fd >= 0) close(app.touch_fd);
    platform = Platform{now_ms, &mixer_sound(), &handheld_backend()};
    app = AppState{};
}

std::string touch_sample(std::uint16_t pressure, std::uint16_t raw_x, std::uint16_t raw_y) {
    std::string bytes(16, '\x5a');
    const std::uint16_t fields[3] = {pressure, raw_x, raw_y};
    for (int field = 0; field < 3; ++field) {
        bytes[2 * field] = static_cast<char>(fields[field] & 0xff);
        bytes[2 * field + 1] = static_cast<char>(fields[field] >> 8);
    }
    return bytes;
}

void TouchPipeTest::SetUp() {
    ShellTest::SetUp();
    ASSERT_EQ(pipe(pipe_), 0);
    app.direct_touch = 1;
    app.touch_fd = pipe_[0];
}

void TouchPipeTest::TearDown() {
    if (pipe_[1] >= 0) close(pipe_[1]);
    ShellTest::TearDown();
}

void TouchPipeTest::send(const std::string& bytes) {
    ASSERT_EQ(write(pipe_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

void TouchPipeTest::hang_up() {
    close(pipe_[1]);
    pipe_[1] = -1;
}

}  // namespace tarno::shell_test
