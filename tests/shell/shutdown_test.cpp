// The shutdown as a whole, run in a child process since it ends the program:
// what the user sees last, and the last click heard to its end while SDL,
// the mixer and the click are still there to play it.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "SDL_mixer.h"
#include "shell_test_support.h"

namespace tarno {
namespace {

// Light blue (128, 128, 255) packed 5-6-5: 128 >> 3 = 16, 128 >> 2 = 32, 255 >> 3 = 31.
constexpr Uint16 LIGHT_BLUE_565 = 16 << 11 | 32 << 5 | 31;
constexpr Uint16 DARK_RED_565 = 12 << 11;

// What the child saw, in memory it shares with the test.
struct Seen {
    int shows = 0;
    bool last_shown_the_screen = false;
    int last_shown_plain_pixels = 0;  // how many of the 320 x 240 pixels were light blue
    int polls = 0;
    int channel_polled = -1;
    // At the first poll for the click's end:
    int shows_before_the_wait = 0;
    bool touch_device_closed = false;
    bool fonts_closed = false;
    bool sdl_running = false;
    bool audio_open = false;
    bool click_loaded = false;
    // When the program ends, so that the menu finds the sound device free:
    bool audio_closed_at_exit = false;
    bool sdl_quit_at_exit = false;
};

Seen* seen = nullptr;
SDL_Surface* shut_screen = nullptr;  // the screen the child shuts down
int touch_device = -1;

int pixels_of_colour(SDL_Surface* surface, Uint16 colour) {
    int count = 0;
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = reinterpret_cast<const Uint16*>(static_cast<const Uint8*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < surface->w; ++x) count += row[x] == colour;
    }
    SDL_UnlockSurface(surface);
    return count;
}

// The handheld's backend, with every screen it is given to show noted.
class WatchedBackend final : public Backend {
public:
    SDL_Surface* open_screen() override { return handheld().open_screen(); }
    void show(SDL_Surface* screen) override {
        ++seen->shows;
        seen->last_shown_the_screen = screen == shut_screen;
        seen->last_shown_plain_pixels = pixels_of_colour(screen, LIGHT_BLUE_565);
        handheld().show(screen);
    }
    void start() override { handheld().start(); }
    void sdl_event(const SDL_Event& event) override { handheld().sdl_event(event); }
    bool poll() override { return handheld().poll(); }
    void close_input() override { handheld().close_input(); }
    void end() override { handheld().end(); }
    void copy(const std::string& text) override { handheld().copy(text); }
    void pause_idle() override { handheld().pause_idle(); }

private:
    static Backend& handheld() { return handheld_backend(); }
};

void note_first_poll() {
    seen->shows_before_the_wait = seen->shows;
    seen->touch_device_closed = fcntl(touch_device, F_GETFD) == -1 && errno == EBADF;
    seen->fonts_closed = app.fonts.font_large == nullptr && app.fonts.font_small == nullptr;
    seen->sdl_running = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    seen->audio_open = Mix_QuerySpec(&rate, &format, &channels) != 0;
    seen->click_loaded = app.click_sound != nullptr;
}

void note_exit() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    seen->audio_closed_at_exit = Mix_QuerySpec(&rate, &format, &channels) == 0 && app.click_sound == nullptr;
    seen->sdl_quit_at_exit = SDL_WasInit(SDL_INIT_EVERYTHING) == 0;
}

// The mixer as the shutdown asks it whether the last click still plays.
class ClickStillPlaying final : public Sound {
public:
    explicit ClickStillPlaying(int polls_playing) : polls_playing_(polls_playing) {}
    void open() override {}
    void close() override { mixer_sound().close(); }  // the mixer's own taking down
    int play_click() override { return 0; }
    int volume() override { return MAX_VOLUME; }
    void set_volume(int) override {}
    bool playing(int channel) override {
        if (seen->polls == 0) note_first_poll();
        ++seen->polls;
        seen->channel_polled = channel;
        if (seen->polls > 1000) _exit(3);  // waits without end
        return seen->polls <= polls_playing_;
    }

private:
    int polls_playing_;
};

class WholeShutdown : public shell_test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // A plain fork, so that the child writes into the memory shared with this test.
        GTEST_FLAG_SET(death_test_style, "fast");
        void* shared = mmap(nullptr, sizeof(Seen), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(shared, MAP_FAILED);
        seen = new (shared) Seen;
    }
    void TearDown() override {
        munmap(seen, sizeof(Seen));
        seen = nullptr;
        ShellTest::TearDown();
    }

    // In the child: a calculator running with a dark red screen, its touch
    // device, its fonts and its click, whose last click plays for
    // polls_playing more polls; then a pass with a quit requested.
    static void run_until_shut_down(int polls_playing) {
        ClickStillPlaying click(polls_playing);
        platform.sound = &click;
        WatchedBackend backend;
        platform.backend = &backend;
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        Mix_OpenAudio(22050, AUDIO_S8, 1, 32);
        app.click_sound = load_click(CLICK_FILE);
        TTF_Init();
        app.fonts = open_fonts(FONT_FILE, stderr);
        int ends[2];
        if (pipe(ends) != 0) _exit(4);
        app.touch_fd = touch_device = ends[0];
        shut_screen = app.screen;
        SDL_FillRect(app.screen, nullptr, DARK_RED_565);
        std::atexit(note_exit);
        app.last_click_channel = 6;
        app.quit_requested = 1;
        run_pass();
    }
};

TEST_F(WholeShutdown, LastFrameIsPlainLightBlueAndTheLastClickIsHeardToItsEnd) {
    ASSERT_EQ(app.screen->format->Rmask, 0xF800u) << "a 5-6-5 screen";
    EXPECT_EXIT(run_until_shut_down(2), ::testing::ExitedWithCode(0), "");

    EXPECT_GE(seen->shows_before_the_wait, 1) << "the last frame is shown before the wait";
    EXPECT_EQ(seen->shows, seen->shows_before_the_wait) << "and nothing is shown after it";
    EXPECT_TRUE(seen->last_shown_the_screen);
    EXPECT_EQ(seen->last_shown_plain_pixels, 320 * 240);

    EXPECT_EQ(seen->polls, 3) << "playing, playing, ended";
    EXPECT_EQ(seen->channel_polled, 6);
    EXPECT_TRUE(seen->touch_device_closed);
    EXPECT_TRUE(seen->fonts_closed);
    EXPECT_TRUE(seen->sdl_running) << "SDL, the mixer and the click stay until the click has ended";
    EXPECT_TRUE(seen->audio_open);
    EXPECT_TRUE(seen->click_loaded);
    EXPECT_TRUE(seen->audio_closed_at_exit) << "the click freed and the audio device closed";
    EXPECT_TRUE(seen->sdl_quit_at_exit);
}

TEST_F(WholeShutdown, StalledClickHoldsTheMenuBackForASecondAtMost) {
    shell_test::test_clock_step = 100;  // each reading of the clock is 100 ms later
    EXPECT_EXIT(run_until_shut_down(1000000), ::testing::ExitedWithCode(0), "");
    EXPECT_GE(seen->polls, 9);
    EXPECT_LE(seen->polls, 12);
}

}  // namespace
}  // namespace tarno
