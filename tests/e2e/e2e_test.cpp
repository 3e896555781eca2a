// The calculator used as a person uses it: the real program in a window of
// its own X server, tapped, read back and listened to (calculator_session.h).
#include "calculator_session.h"

namespace {

using namespace tarno_test;
using namespace tarno;

TEST_F(CalculatorSession, TapsCalculateClickAndAKeyQuits) {
    expect_window_shows_taps(15);  // the first screen, once the program is up

    for (int code : {KEY_1, KEY_2, KEY_ADD, KEY_3, KEY_MULTIPLY, KEY_4, KEY_EQUALS}) tap(code);  // 1 2 + 3 × 4 =
    expect_window_shows_taps(5);                                 // 60

    hold(KEY_1, "0.5", 3);  // held half a second: 1 at once, again at 200 and 400 ms
    expect_window_shows_taps(5);

    EXPECT_EQ(x_client({"xdotool", "key", "a"}), 0);
    EXPECT_EQ(calculator_exit(2), 0) << "any keyboard key ends the program with status 0";

    // A click is 30 ms of sound; the accepted presses lie 200 ms apart or
    // more, which leaves thousands of silent samples between two clicks even
    // when the disk driver runs slower than real time. 1100 samples are 50 ms
    // at 22050 Hz.
    EXPECT_EQ(count_clicks(file_text(files_.file("click.raw")), 1100), 10);
}

}  // namespace
