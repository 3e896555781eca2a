// The calculator upright in a desktop window, as a person at a desktop uses
// it: the real program with --desktop under an X server of its own, clicked
// and typed at with xdotool, its window read back with xwd and compared with
// tarno-shot's upright picture, scaled; its number pasted with xclip; its
// memory and modes kept across a restart; its class and icon for taskbars.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc.h"
#include "support/files.h"
#include "support/key_cells.h"
#include "x_session.h"

namespace {

using namespace tarno_test;
using namespace tarno;

constexpr int SCALE = 2;
constexpr int UPRIGHT_WIDTH = HEIGHT, UPRIGHT_HEIGHT = WIDTH;

class CalculatorWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(x_.display().empty()) << "Xvfb did not start"; }
    void TearDown() override {
        if (calculator_) calculator_->stop();
    }

    void start(const std::vector<std::string>& options) {
        std::vector<std::string> argv = {TARNO_PROGRAM};
        argv.insert(argv.end(), options.begin(), options.end());
        // No sound device, as on many a desktop machine: the window opens all
        // the same. The state is kept in the test's folder, not the user's.
        calculator_.emplace(Command{argv,
                                    {{"DISPLAY", x_.display()},
                                     {"SDL_AUDIODRIVER", "no-such-device"},
                                     {"XDG_STATE_HOME", files_.path()}}});
    }

    // Runs an X client of the test's server to its end.
    Finished x_client(const std::vector<std::string>& argv) { return run({argv, {{"DISPLAY", x_.display()}}}); }

    // A click on the key's middle, in the window: the screen's pixel (x, y)
    // is the window's block at ((239 - y) s, x s).
    void click(int code) {
        const auto [x, y] = key_middle(code);
        tokens_.push_back(std::to_string(code));
        EXPECT_EQ(x_client({"xdotool", "mousemove", std::to_string((HEIGHT - 1 - y) * SCALE + 1),
                            std::to_string(x * SCALE + 1), "mousedown", "1", "sleep", "0.02", "mouseup", "1"})
                      .status,
                  0);
        sleep_ms(300);  // past the calculator's 200 ms repeat guard
    }

    // Types keys with xdotool (the pointer is over the window, which so has the keyboard).
    void type(const std::vector<std::string>& keys, const std::vector<int>& codes) {
        std::vector<std::string> argv = {"xdotool", "key", "--delay", "50"};
        argv.insert(argv.end(), keys.begin(), keys.end());
        EXPECT_EQ(x_client(argv).status, 0);
        for (int code : codes) tokens_.push_back(std::to_string(code));
    }

    // Waits up to seconds for the window to show what tarno-shot --upright draws, scaled.
    void expect_window_shows_keys(double seconds) {
        const std::string shot = files_.file("shot.bmp");
        std::vector<std::string> argv = {TARNO_SHOT, "--upright", shot};
        argv.insert(argv.end(), tokens_.begin(), tokens_.end());
        ASSERT_EQ(run({argv, {{"SDL_VIDEODRIVER", "dummy"}}}).status, 0);
        const Picture expected = scaled(read_bmp(shot, UPRIGHT_WIDTH, UPRIGHT_HEIGHT), UPRIGHT_WIDTH, SCALE);
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(WIDTH * HEIGHT * SCALE * SCALE)) << "no picture";
        std::string where;
        const int n = wait_for_screen(x_.display(), files_.file("window.xwd"), expected, UPRIGHT_WIDTH * SCALE,
                                      seconds, where);
        EXPECT_EQ(n, 0) << "pixels differ after " << tokens_.size() << " keys; " << where;
    }

    bool window_exists() { return x_client({"xdotool", "search", "--class", "tarno"}).status == 0; }

    XServer x_{"1280x1024x24"};
    TempDirectory files_;
    std::optional<Child> calculator_;
    std::vector<std::string> tokens_;
};

TEST_F(CalculatorWindow, ClicksAndTypedKeysCalculateCopyAndCtrlQEndsIt) {
    start({"--desktop", "--scale=" + std::to_string(SCALE)});
    expect_window_shows_keys(15);  // the first screen, once the program is up

    for (int code : {KEY_1, KEY_2, KEY_ADD, KEY_3}) click(code);              // 1 2 + 3 with the mouse
    type({"asterisk", "KP_4", "Return"}, {KEY_MULTIPLY, KEY_4, KEY_EQUALS});  // × 4 = from the keyboard
    expect_window_shows_keys(5);                                      // 60

    type({"ctrl+c"}, {});
    const Finished pasted = x_client({"xclip", "-o", "-selection", "clipboard"});
    EXPECT_EQ(pasted.status, 0);
    EXPECT_EQ(pasted.out, "60");

    // q does nothing; C ( 1.5 EXP 2, then − taken back.
    type({"q", "Escape", "parenleft", "1", "period", "5", "e", "2", "minus", "BackSpace"},
         {KEY_CLEAR, KEY_OPEN, KEY_1, KEY_POINT, KEY_5, KEY_EXP, KEY_2, KEY_SUBTRACT, KEY_BACKSPACE});
    expect_window_shows_keys(5);
    EXPECT_EQ(calculator_->wait(0.2), -1) << "a typed q does not quit";

    type({"ctrl+q"}, {});
    EXPECT_EQ(calculator_->wait(5), 0) << "Ctrl+Q ends the program as Off does";
}

TEST_F(CalculatorWindow, MemoryAnsAngleAndFormatAreKeptAcrossARestart) {
    start({"--desktop", "--scale=" + std::to_string(SCALE)});
    expect_window_shows_keys(15);
    // 7 into the memory, degrees, Sci then fix 0; then 2 + 3 = for Ans.
    for (int code : {KEY_7, KEY_STORE, KEY_SHIFT, KEY_ROOT, KEY_LOG, KEY_LOG, KEY_SHIFT}) click(code);
    type({"2", "plus", "3", "Return"}, {KEY_2, KEY_ADD, KEY_3, KEY_EQUALS});
    expect_window_shows_keys(5);
    type({"ctrl+q"}, {});
    ASSERT_EQ(calculator_->wait(5), 0);

    // Started again, it shows what C would have shown: the memory, Deg and Fix0 kept.
    start({"--desktop", "--scale=" + std::to_string(SCALE)});
    tokens_.push_back(std::to_string(KEY_CLEAR));
    expect_window_shows_keys(15);
    EXPECT_EQ(calculator_->err().find("kept state"), std::string::npos) << calculator_->err();
    click(KEY_ANSWER);  // 5
    click(KEY_ADD);
    click(KEY_RECALL);  // 7
    click(KEY_EQUALS);
    expect_window_shows_keys(5);  // 12
}

// Taskbars find the running window's icon by its class, which the desktop
// entry names, or in the window's own _NET_WM_ICON.
TEST_F(CalculatorWindow, WindowHasTheDesktopEntrysClassAndTheCalculatorsIcon) {
    start({"--desktop"});
    const Finished found = x_client({"xdotool", "search", "--sync", "--class", "tarno"});
    ASSERT_EQ(found.status, 0);
    const std::string window = found.out.substr(0, found.out.find('\n'));
    const std::string entry = file_text("packaging/tarno.desktop");
    const std::size_t at = entry.find("\nStartupWMClass=");
    ASSERT_NE(at, std::string::npos) << "the desktop entry names no class";
    const std::string entry_class = entry.substr(at + 16, entry.find('\n', at + 1) - at - 16);
    EXPECT_EQ(x_client({"xprop", "-id", window, "WM_CLASS"}).out,
              "WM_CLASS(STRING) = \"" + entry_class + "\", \"" + entry_class + "\"\n");

    // The icon's pixels as 0xAARRGGBB, after its width and height.
    const Finished icon =
        x_client({"xprop", "-id", window, "-notype", "-f", "_NET_WM_ICON", "32c", "=$0+\\n", "_NET_WM_ICON"});
    std::vector<std::uint32_t> values;
    for (std::size_t i = icon.out.find('='); i != std::string::npos && i + 1 < icon.out.size();
         i = icon.out.find(',', i + 1))
        values.push_back(static_cast<std::uint32_t>(std::stoul(icon.out.substr(i + 1))));
    ASSERT_EQ(values.size(), 2u + 32 * 32) << icon.out.substr(0, 200);
    EXPECT_EQ(values[0], 32u);
    EXPECT_EQ(values[1], 32u);
    // The window's own icon file, magenta where it is transparent.
    const Picture drawn = read_bmp("tarno/icon.bmp", 32, 32);
    ASSERT_EQ(drawn.size(), 32u * 32);
    int opaque = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const std::uint32_t argb = values[2 + i];
        const std::uint16_t rgb565 = static_cast<std::uint16_t>((argb >> 8 & 0xf800) | (argb >> 5 & 0x07e0) | (argb >> 3 & 0x1f));
        if (drawn[i] == 0xf81f) {
            EXPECT_EQ(argb, 0u) << "transparent pixel " << i;
        } else {
            ++opaque;
            EXPECT_EQ(argb >> 24, 0xffu) << "pixel " << i;
            EXPECT_EQ(rgb565, drawn[i]) << "pixel " << i;
        }
    }
    EXPECT_GT(opaque, 32 * 32 / 3);
}

TEST_F(CalculatorWindow, ABadOptionEndsItAtOnceWithoutAWindow) {
    for (const char* bad : {"--scale=0", "--window"}) {
        start({"--desktop", bad});
        EXPECT_EQ(calculator_->wait(5), 2) << bad;
        EXPECT_NE(calculator_->err().find(bad), std::string::npos) << calculator_->err();
        EXPECT_NE(calculator_->err().find("usage: tarno"), std::string::npos) << calculator_->err();
        EXPECT_FALSE(window_exists()) << bad;
    }
}

}  // namespace
