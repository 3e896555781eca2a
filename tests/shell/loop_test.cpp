// The main loop: the repeat guard on the test's clock, the click and the
// key, the idle pause, and what one pass does with events and a press.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell_test_support.h"
#include "support/surfaces.h"

namespace tarno {
namespace {

using shell_test::BESIDE_KEYS;
using shell_test::AT_KEY_1;
using shell_test::AT_KEY_7;
using shell_test::AT_KEY_OFF;
using shell_test::Point;
using shell_test::ShellTest;
using RepeatGuard = ShellTest;
using IdlePause = ShellTest;
using Click = ShellTest;
using ProcessKey = ShellTest;
using shell_test::test_now;

// Presses at p with the clock at now; whether the press reached a key.
bool press_at(Point p, std::uint32_t now) {
    app.touch_x = p.x;
    app.touch_y = p.y;
    test_now = now;
    return handle_press();
}

double shown_value() { return read_only_calc_state().x_value; }

TEST_F(RepeatGuard, FirstPressAfterStartUpCountsAtOnce) {
    const std::uint32_t t = 5000;
    app.next_accept_ms = t;  // as start-up leaves it
    EXPECT_TRUE(press_at(AT_KEY_7, t));
    EXPECT_EQ(sound.clicks, 1);
    EXPECT_EQ(app.last_click_channel, 3);
    EXPECT_EQ(shown_value(), 7.0);
    EXPECT_EQ(app.next_accept_ms, t + 200);
}

TEST_F(RepeatGuard, HeldKeyRepeatsEvery200Milliseconds) {
    const std::uint32_t t = 5000;
    const std::vector<std::pair<std::uint32_t, bool>> readings = {
        {t, true}, {t + 1, false}, {t + 100, false}, {t + 199, false}, {t + 200, true},
        {t + 201, false}, {t + 399, false}, {t + 400, true},
    };
    for (const auto& [now, accepted] : readings) EXPECT_EQ(press_at(AT_KEY_7, now), accepted) << "at t + " << now - t;
    EXPECT_EQ(sound.clicks, 3);
    EXPECT_EQ(shown_value(), 777.0);
}

TEST_F(RepeatGuard, PressBesideTheKeysStartsTheWaitToo) {
    const std::uint32_t t = 5000;
    EXPECT_FALSE(press_at(BESIDE_KEYS, t));
    EXPECT_EQ(app.next_accept_ms, t + 200);
    EXPECT_FALSE(press_at(AT_KEY_7, t + 150));
    EXPECT_FALSE(press_at(BESIDE_KEYS, t + 200));  // held beside the keys: the wait moves on
    EXPECT_FALSE(press_at(AT_KEY_7, t + 350));
    EXPECT_TRUE(press_at(AT_KEY_7, t + 400));
    EXPECT_EQ(sound.clicks, 1);
    EXPECT_EQ(shown_value(), 7.0);
}

TEST_F(RepeatGuard, PressDuringTheWaitDoesNotLengthenIt) {
    const std::uint32_t t = 5000;
    EXPECT_TRUE(press_at(AT_KEY_7, t));
    EXPECT_FALSE(press_at(AT_KEY_1, t + 100));
    EXPECT_FALSE(press_at(BESIDE_KEYS, t + 150));
    EXPECT_EQ(app.next_accept_ms, t + 200);
    EXPECT_TRUE(press_at(AT_KEY_1, t + 200));
    EXPECT_EQ(shown_value(), 71.0);
}

TEST_F(RepeatGuard, SurvivesTheClockWrapping) {
    const std::uint32_t t = 0xFFFFFFFFu - 99;  // 100 ms before the millisecond clock wraps
    app.next_accept_ms = t;
    EXPECT_TRUE(press_at(AT_KEY_7, t));
    EXPECT_EQ(app.next_accept_ms, 100u);
    EXPECT_FALSE(press_at(AT_KEY_7, 0xFFFFFFFFu));
    EXPECT_FALSE(press_at(AT_KEY_7, 0));
    EXPECT_FALSE(press_at(AT_KEY_7, 99));
    EXPECT_TRUE(press_at(AT_KEY_7, 100));
    EXPECT_EQ(sound.clicks, 2);
}

TEST_F(RepeatGuard, ClockSetBackDoesNotBlockTouches) {
    const std::uint32_t t = 3600000;
    EXPECT_TRUE(press_at(AT_KEY_7, t));
    EXPECT_TRUE(press_at(AT_KEY_7, t - 60000)) << "a minute back: the wait is over";
    EXPECT_TRUE(press_at(AT_KEY_7, t - 60000 - 50)) << "50 ms back right after a press";
    EXPECT_FALSE(press_at(AT_KEY_7, t - 60000 - 50 + 10)) << "the new wait runs from the new time";
    EXPECT_TRUE(press_at(AT_KEY_7, t + 7200000)) << "a clock set forward ends the wait too";
    EXPECT_EQ(sound.clicks, 4);
}

TEST_F(IdlePause, KeepsRepeatsOnTime) {
    const std::uint32_t t = 5000;
    struct Case {
        std::uint32_t deadline, now, wait;
    };
    const std::vector<Case> cases = {
        {t, t, 5},                  // no wait running
        {t - 1000, t, 5},           // long over
        {t + 200, t, 5},            // a fresh wait: poll as usual
        {t + 5, t, 5},
        {t + 3, t, 3},              // wake up when the wait ends
        {t + 1, t, 1},
        {1, 0xFFFFFFFFu, 2},        // across the wrap
        {t + 1000, t, 5},           // the clock went back
    };
    for (const Case& c : cases)
        EXPECT_EQ(idle_wait_ms(c.deadline, c.now), c.wait) << "deadline " << c.deadline << ", now " << c.now;
}

TEST_F(IdlePause, OnTheXConnectionSleepsUntilAnEventOrTheNextRepeat) {
    const std::uint32_t t = 5000;
    struct Case {
        bool pressed;
        std::uint32_t deadline, now;
        int timeout;
    };
    const std::vector<Case> cases = {
        {false, t, t, -1},            // nothing held: only an event can change anything
        {false, t + 200, t, -1},
        {true, t + 200, t, 200},      // held on a key: wake for its repeat 200 ms on
        {true, t + 120, t + 10, 110},
        {true, 1, 0xFFFFFFFFu, 2},    // across the wrap
        {true, t, t, 0},              // the wait is over: the next pass takes the press
        {true, t + 1000, t, 0},       // the clock went back
    };
    for (const Case& c : cases)
        EXPECT_EQ(x_wait_timeout_ms(c.pressed, c.deadline, c.now), c.timeout)
            << (c.pressed ? "pressed" : "released") << ", deadline " << c.deadline << ", now " << c.now;
}

TEST_F(IdlePause, WaitForInputEndsOnInputOrTimeout) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    EXPECT_FALSE(wait_for_input(ends[0], 0, nullptr));
    EXPECT_FALSE(wait_for_input(ends[0], 20, nullptr));
    ASSERT_EQ(write(ends[1], "x", 1), 1);
    EXPECT_TRUE(wait_for_input(ends[0], -1, nullptr));
    close(ends[0]);
    close(ends[1]);
}

TEST_F(Click, FailureIsReportedAndTheKeyStillCounts) {
    sound.click_channel = -1;
    SDL_SetError("no audio here");
    EXPECT_EQ(tarno_test::stderr_of([] { EXPECT_TRUE(press_at(AT_KEY_7, 5000)); }), "Unable to play WAV file: no audio here\n");
    EXPECT_EQ(app.last_click_channel, -1);
    EXPECT_EQ(shown_value(), 7.0);

    sound.click_channel = 0;
    EXPECT_TRUE(press_at(AT_KEY_1, 5200));
    EXPECT_EQ(app.last_click_channel, 0);
}

TEST_F(ProcessKey, RunsTheKeyAndRepaints) {
    TTF_Init();
    app.fonts = open_fonts(FONT_FILE, stderr);
    ASSERT_NE(app.fonts.font_large, nullptr) << TTF_GetError();
    const Uint32 marker = SDL_MapRGB(app.screen->format, 8, 4, 8);
    SDL_FillRect(app.screen, nullptr, marker);

    process_key(KEY_1, app.screen);
    EXPECT_EQ(shown_value(), 1.0);
    EXPECT_EQ(app.quit_requested, 0);
    int untouched = 0;
    SDL_LockSurface(app.screen);
    for (int y = 0; y < app.screen->h; ++y)
        for (int x = 0; x < app.screen->w; ++x) untouched += tarno_test::pixel16(app.screen, x, y) == marker;
    SDL_UnlockSurface(app.screen);
    EXPECT_LT(untouched, 320 * 240) << "the screen was not redrawn";

    process_key(KEY_OFF, app.screen);  // Off only asks; the loop ends the program
    EXPECT_EQ(app.quit_requested, 1);
    close_fonts(app.fonts);
}

// One pass in direct mode, with touch samples written into a pipe.
class MainLoopPass : public shell_test::TouchPipeTest {
protected:
    // A pen sample whose position, with no calibration yet, lies on the key 1.
    void touch_key_1(std::uint16_t pressure) { send(shell_test::touch_sample(pressure, 3025, 591)); }
    static void push(Uint8 type) {
        SDL_Event event{};
        event.type = type;
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    }
};

TEST_F(MainLoopPass, QuitAskedByAnEventLetsThisPassesPressThrough) {
    push(SDL_QUIT);
    touch_key_1(1);
    EXPECT_TRUE(run_pass());
    EXPECT_EQ(app.quit_requested, 1);
    EXPECT_EQ(sound.clicks, 1);
    EXPECT_EQ(shown_value(), 1.0);
}

TEST_F(MainLoopPass, PassWithNothingToDoSaysSo) {
    touch_key_1(0);  // pen up
    EXPECT_FALSE(run_pass());
    touch_key_1(1);  // a key
    EXPECT_TRUE(run_pass());
    touch_key_1(1);  // the same key inside the wait
    EXPECT_FALSE(run_pass());
    push(SDL_KEYUP);  // an event, even one without an action
    touch_key_1(0);
    EXPECT_TRUE(run_pass());
    EXPECT_EQ(sound.clicks, 1);
}

TEST_F(MainLoopPass, DeviceThatGivesNothingPausesTheLoop) {
    touch_key_1(0);
    EXPECT_FALSE(run_pass());
    EXPECT_FALSE(pass_should_pause(false)) << "the read waited for its sample";

    hang_up();  // the read now returns at once with 0 bytes
    EXPECT_FALSE(run_pass());
    EXPECT_TRUE(pass_should_pause(false)) << "at end of file";

    close(app.touch_fd);
    app.touch_fd = open("/dev/null", O_WRONLY);  // reading it fails at once
    EXPECT_FALSE(run_pass());
    EXPECT_TRUE(pass_should_pause(false)) << "after a failed read";
    EXPECT_FALSE(pass_should_pause(true)) << "a busy pass never pauses";
}

TEST_F(MainLoopPass, QuitRequestedEndsTheProgramAtThePassStart) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    sound.playing_for = 2;
    EXPECT_EXIT(
        {
            app.last_click_channel = 3;
            app.quit_requested = 1;
            run_pass();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(IdlePause, SleepsOnTheXConnectionOnlyWhenNothingPolledCanChange) {
    EXPECT_TRUE(idle_sleeps_on_x(true, false, false));
    EXPECT_FALSE(idle_sleeps_on_x(false, false, false)) << "not on X";
    EXPECT_FALSE(idle_sleeps_on_x(true, true, false)) << "the touch device is read, not an X event";
    EXPECT_FALSE(idle_sleeps_on_x(true, false, true)) << "a joystick's buttons are polled, not X events";
}

bool nothing_queued() { return false; }
bool something_queued() { return true; }

TEST_F(IdlePause, TheQuitSignalsAreLetThroughAgainAfterTheWait) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    for (bool (*queued)() : {nothing_queued, something_queued}) {
        wait_unless_queued(ends[0], 0, queued);
        sigset_t mask;
        pthread_sigmask(SIG_SETMASK, nullptr, &mask);
        EXPECT_FALSE(sigismember(&mask, SIGINT));
        EXPECT_FALSE(sigismember(&mask, SIGTERM));
    }
    close(ends[0]);
    close(ends[1]);
}

TEST_F(IdlePause, WaitForInputWaitsItsWholeTimeout) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    timespec before, after;
    clock_gettime(CLOCK_MONOTONIC, &before);
    EXPECT_FALSE(wait_for_input(ends[0], 60, nullptr));
    clock_gettime(CLOCK_MONOTONIC, &after);
    const long waited_ms = (after.tv_sec - before.tv_sec) * 1000 + (after.tv_nsec - before.tv_nsec) / 1000000;
    EXPECT_GE(waited_ms, 59) << "a 60 ms timeout";
    close(ends[0]);
    close(ends[1]);
}

}  // namespace
}  // namespace tarno
