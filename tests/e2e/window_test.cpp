// The calculator on an X display that another client takes its window from:
// it ends as when the window is closed. This needs the program's X support,
// which the handheld's build has not.
#include "calculator_session.h"

namespace {

using namespace tarno_test;
using namespace tarno;

TEST_F(CalculatorSession, WindowDestroyedByAnotherClientEndsIt) {
    expect_window_shows_taps(15);
    // SDL names its window's class after the program.
    EXPECT_EQ(x_client({"xdotool", "search", "--class", "tarno", "windowclose"}), 0);
    EXPECT_EQ(calculator_exit(3), 0) << "a lost window ends the program as closing it does";
}

}  // namespace
