// The end of a run: the wait for the last click and the hand-over to the
// system menu, which off the console ends the program with status 0.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "SDL_mixer.h"
#include "shell_test_support.h"

namespace tarno {
namespace {

using shell_test::ShellTest;
using Shutdown = ShellTest;
using shell_test::test_clock_step;
using shell_test::test_now;

TEST_F(Shutdown, WaitsForTheLastClickToEnd) {
    app.last_click_channel = 2;
    sound.playing_for = 3;
    wait_for_last_click();
    EXPECT_EQ(sound.playing_asked, 4);
}

TEST_F(Shutdown, WaitsForNoClickWhenNoneWasPlayed) {
    app.last_click_channel = -1;
    sound.playing_forever = true;
    wait_for_last_click();
    EXPECT_EQ(sound.playing_asked, 0);
}

TEST_F(Shutdown, GivesUpOnAStalledClickAfterOneSecond) {
    app.last_click_channel = 2;
    sound.playing_forever = true;
    test_clock_step = 100;
    const std::uint32_t start = test_now;
    wait_for_last_click();
    EXPECT_GE(test_now - start, 1000u);
    EXPECT_LE(test_now - start, 1200u);

    sound.playing_asked = 0;
    test_clock_step = static_cast<std::uint32_t>(-500);  // the clock goes back while it waits
    wait_for_last_click();
    EXPECT_LE(sound.playing_asked, 2);
}

class MenuHandOver : public ::testing::Test {
protected:
    void SetUp() override {
        // A plain fork, so that the child hands over from this very directory.
        GTEST_FLAG_SET(death_test_style, "fast");
        char name[] = "/tmp/tarno-menu-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        directory_ = name;
    }
    void TearDown() override {
        unlink((directory_ + "/menu").c_str());
        unlink((directory_ + "/ran").c_str());
        rmdir(directory_.c_str());
    }
    std::string directory_;
};

TEST_F(MenuHandOver, MenuReplacesTheProgramInItsOwnDirectory) {
    // A stand-in menu that records its name and where it was started.
    const std::string menu = directory_ + "/menu";
    std::ofstream(menu) << "#!/bin/sh\necho \"$0 $# $(pwd)\" > ran\nexit 7\n";
    ASSERT_EQ(chmod(menu.c_str(), 0755), 0);
    EXPECT_EXIT(hand_over_to_menu(directory_.c_str(), menu.c_str()), ::testing::ExitedWithCode(7), "");
    std::stringstream ran;
    ran << std::ifstream(directory_ + "/ran").rdbuf();
    EXPECT_EQ(ran.str(), menu + " 0 " + directory_ + "\n");
}

TEST_F(MenuHandOver, MissingMenuEndsWithStatusZero) {
    EXPECT_EXIT(hand_over_to_menu("/nonexistent/gp2x", "/nonexistent/gp2x/gp2xmenu"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(hand_over_to_menu(directory_.c_str(), (directory_ + "/menu").c_str()), ::testing::ExitedWithCode(0),
                "");
}

using StartUp = ShellTest;

// In a child, since start-up takes over SDL, the mixer and the screen: each
// way in which start-up left things otherwise than ready, on standard error.
int start_up_faults() {
    app.next_accept_ms = 0;
    app.last_click_channel = 4;
    app.screen = nullptr;
    platform.sound = &mixer_sound();
    start_up();
    int faults = 0;
    const auto fault = [&faults](bool wrong, const char* what) {
        if (!wrong) return;
        std::fprintf(stderr, "%s\n", what);
        ++faults;
    };
    fault(app.next_accept_ms != test_now, "the first press must count at once");
    fault(app.last_click_channel != -1, "no click played yet");
    fault(app.touch_fd != -1 || app.quit_requested != 0, "no touch device open, no quit asked");
    fault(!app.screen || app.screen->w != 320 || app.screen->h != 240 || app.screen->format->BitsPerPixel != 16,
          "a 320x240 screen of 16 bits per pixel");
    fault(!app.fonts.font_large || !app.fonts.font_small, "both fonts open");
    fault(!app.click_sound, "the click loaded");
    int rate = 0, channels = 0;
    Uint16 format = 0;
    fault(Mix_QuerySpec(&rate, &format, &channels) == 0 || rate != 22050 || format != AUDIO_S8 || channels != 1,
          "the audio device open at 22050 Hz, signed 8 bits, mono");
    fault(Mix_Volume(0, -1) != MAX_VOLUME, "the mixer's volume left at its full 128");
    int black = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            black += static_cast<const Uint16*>(app.screen->pixels)[y * app.screen->pitch / 2 + x] == 0;
    fault(black > 320 * 240 / 2, "the first screen drawn");
    return faults;
}

TEST_F(StartUp, LeavesEverythingReadyAndTheFirstPressToCountAtOnce) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(_exit(start_up_faults()), ::testing::ExitedWithCode(0), "");
}

TEST_F(MenuHandOver, MenuIsCalledByItsPathAlone) {
    // A stand-in menu that is a shell reading its commands from standard
    // input, so that its $0 is the argv[0] it was given.
    const std::string menu = directory_ + "/menu";
    const std::string commands = directory_ + "/commands";
    ASSERT_EQ(symlink("/bin/sh", menu.c_str()), 0);
    std::ofstream(commands) << "echo \"$0 $#\" > ran\nexit 7\n";
    EXPECT_EXIT(
        {
            dup2(open(commands.c_str(), O_RDONLY), STDIN_FILENO);
            hand_over_to_menu(directory_.c_str(), menu.c_str());
        },
        ::testing::ExitedWithCode(7), "");
    std::stringstream ran;
    ran << std::ifstream(directory_ + "/ran").rdbuf();
    EXPECT_EQ(ran.str(), menu + " 0\n");
    unlink(commands.c_str());
}

}  // namespace
}  // namespace tarno
