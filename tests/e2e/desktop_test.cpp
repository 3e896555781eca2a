// The calculator upright in a desktop window, as a person at a desktop uses
// it: the real program with --desktop under an X server of its own, clicked
// and typed at with xdotool, its window read back with xwd and compared with
// tarno-shot's upright picture, scaled; its number pasted with xclip; its
// memory and modes kept across a restart; its class and icon for taskbars.
#include <signal.h>
#include <sys/stat.h>

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

    void start(const std::vector<std::string>& options, const std::string& folder = "",
               const std::string& program = TARNO_PROGRAM) {
        std::vector<std::string> argv = {program};
        argv.insert(argv.end(), options.begin(), options.end());
        // No sound device, as on many a desktop machine: the window opens all the same.
        // The state is kept in the test's folder, not the user's.
        Command command{argv,
                        {{"DISPLAY", x_.display()},
                         {"SDL_AUDIODRIVER", "no-such-device"},
                         {"XDG_STATE_HOME", files_.file("state")}}};
        command.directory = folder;
        calculator_.emplace(command);
    }

    // The window's pixel in the middle of key, as xdotool's words.
    static std::vector<std::string> at_key(int code) {
        const auto [x, y] = key_middle(code);
        return {"mousemove", std::to_string((HEIGHT - 1 - y) * SCALE + 1), std::to_string(x * SCALE + 1)};
    }

    // Runs xdotool with words.
    void xdotool(const std::vector<std::string>& words) {
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), words.begin(), words.end());
        EXPECT_EQ(x_client(argv).status, 0);
    }

    // Offers text as X's selection (clipboard or primary) until one program has taken it.
    std::unique_ptr<Child> offer(const std::string& text, const std::string& selection) {
        Command xclip{{"xclip", "-selection", selection, "-loops", "1"}, {{"DISPLAY", x_.display()}}};
        xclip.input = text;
        auto child = std::make_unique<Child>(xclip);
        sleep_ms(300);  // xclip owns the selection
        return child;
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

    // Waits up to seconds for the window to show what tarno-shot --upright
    // draws, scaled, with the key held (if any) drawn pressed: its cell's
    // colours inverted; or, differs, that it shows something more.
    void expect_window_shows_keys(double seconds, int held = 0, bool differs = false) {
        const std::string shot = files_.file("shot.bmp");
        std::vector<std::string> argv = {TARNO_SHOT, "--upright", shot};
        argv.insert(argv.end(), tokens_.begin(), tokens_.end());
        ASSERT_EQ(run({argv, {{"SDL_VIDEODRIVER", "dummy"}}}).status, 0);
        Picture upright = read_bmp(shot, UPRIGHT_WIDTH, UPRIGHT_HEIGHT);
        ASSERT_EQ(upright.size(), static_cast<std::size_t>(WIDTH * HEIGHT));
        if (held != 0) {
            // The screen's (x, y) is the upright picture's (239 - y, x); equals is its two cells and their gap.
            const Range xs = CELL_COLUMNS[held / 10 - 1], ys = held == KEY_EQUALS ? Range{8, 93} : CELL_ROWS[5 - held % 10];
            for (int x = xs.first; x <= xs.last; ++x)
                for (int y = ys.first; y <= ys.last; ++y) {
                    std::uint16_t& p = upright[static_cast<std::size_t>(x) * UPRIGHT_WIDTH + (HEIGHT - 1 - y)];
                    p = static_cast<std::uint16_t>(~p);
                }
        }
        const Picture expected = scaled(upright, UPRIGHT_WIDTH, SCALE);
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(WIDTH * HEIGHT * SCALE * SCALE)) << "no picture";
        std::string where;
        const int n = wait_for_screen(x_.display(), files_.file("window.xwd"), expected, UPRIGHT_WIDTH * SCALE,
                                      seconds, where);
        if (differs) EXPECT_GT(n, 0) << "the window shows nothing over the picture";
        else EXPECT_EQ(n, 0) << "pixels differ after " << tokens_.size() << " keys; " << where;
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

    // z does nothing; C ( 1.5 EXP 2, then − taken back.
    type({"z", "Escape", "parenleft", "1", "period", "5", "e", "2", "minus", "BackSpace"},
         {KEY_CLEAR, KEY_OPEN, KEY_1, KEY_POINT, KEY_5, KEY_EXP, KEY_2, KEY_SUBTRACT, KEY_BACKSPACE});
    expect_window_shows_keys(5);
    EXPECT_EQ(calculator_->wait(0.2), -1) << "a typed z does not quit";

    type({"ctrl+q"}, {});
    EXPECT_EQ(calculator_->wait(5), 0) << "Ctrl+Q ends the program as Off does";
}

TEST_F(CalculatorWindow, ClicksOfNoLengthCountAndOnlyTheLeftButtonReleasedOnItsKeyPresses) {
    start({"--desktop", "--scale=" + std::to_string(SCALE)});
    expect_window_shows_keys(15);
    // 1 2 3 4 5, each click of no length, 20 ms after the last.
    std::vector<std::string> words;
    for (int code : {KEY_1, KEY_2, KEY_3, KEY_4, KEY_5}) {
        for (const std::string& word : at_key(code)) words.push_back(word);
        for (const char* word : {"click", "1", "sleep", "0.02"}) words.push_back(word);
        tokens_.push_back(std::to_string(code));
    }
    // Then the right button and the wheel on 7, and a press on 7 slid onto Off and released there.
    for (const std::string& word : at_key(KEY_7)) words.push_back(word);
    for (const char* word : {"click", "3", "click", "4", "click", "5", "mousedown", "1"}) words.push_back(word);
    for (const std::string& word : at_key(KEY_OFF)) words.push_back(word);
    words.push_back("mouseup");
    words.push_back("1");
    xdotool(words);
    expect_window_shows_keys(5);
    EXPECT_EQ(calculator_->wait(0.3), -1) << "a slide onto Off does not switch it off";

    // Held: shown pressed, acting only when released.
    std::vector<std::string> press = at_key(KEY_8);
    press.insert(press.end(), {"mousedown", "1"});
    xdotool(press);
    expect_window_shows_keys(5, KEY_8);
    xdotool({"mouseup", "1"});
    tokens_.push_back(std::to_string(KEY_8));
    expect_window_shows_keys(5);
}

TEST_F(CalculatorWindow, EveryKindOfKeyTypedTheKeyCursorAndThePaste) {
    start({"--desktop", "--scale=" + std::to_string(SCALE)});
    expect_window_shows_keys(15);
    xdotool({"mousemove", "5", "300"});  // over the window, which so has the keyboard
    // 30 d (Shift, Deg) s (sin) q (Shift off, x²) m (STO) C p F9 ! O (Shift, cos⁻¹) i (Shift off) R + a = 1 e - 3
    type({"3", "0", "d", "s", "q", "m", "Escape", "p", "F9", "exclam", "O", "i", "R", "plus", "a", "equal", "1", "e",
          "minus", "3"},
         {KEY_3, KEY_0, KEY_SHIFT, KEY_ROOT, KEY_SQUARE, KEY_SHIFT, KEY_SQUARE, KEY_STORE, KEY_CLEAR, KEY_PI, KEY_SIGN,
          KEY_FACTORIAL, KEY_SHIFT, KEY_LN, KEY_SHIFT, KEY_RECALL, KEY_ADD, KEY_ANSWER, KEY_EQUALS, KEY_1, KEY_EXP,
          KEY_SIGN, KEY_3});
    expect_window_shows_keys(5);

    // The cursor: shown on 5 by the first arrow, up to 8, pressed with Space; a click on 1 hides it.
    type({"Escape", "Down", "Up", "space"}, {KEY_CLEAR, KEY_8});
    sleep_ms(300);
    expect_window_shows_keys(0, 0, true);
    click(KEY_1);
    expect_window_shows_keys(5);

    // Pasted: -1.5e-3 typed as its keys; 12abc refused whole; the middle button pastes the primary selection.
    type({"Escape"}, {KEY_CLEAR});
    auto clipboard = offer("-1.5e-3", "clipboard");
    type({"ctrl+v"}, {KEY_1, KEY_POINT, KEY_5, KEY_SIGN, KEY_EXP, KEY_SIGN, KEY_3});
    expect_window_shows_keys(5);
    for (const std::string& refused : {std::string("12abc"), std::string(1 << 20, '7')}) {
        clipboard = offer(refused, "clipboard");
        type({"shift+Insert"}, {});
        sleep_ms(300);
        expect_window_shows_keys(5);
    }
    type({"ctrl+c"}, {});
    const Finished copied = x_client({"xclip", "-o", "-selection", "clipboard"});
    EXPECT_EQ(copied.out, "-1.5E-3");
    auto primary = offer("*2=", "primary");
    std::vector<std::string> middle = at_key(KEY_7);
    middle.insert(middle.end(), {"click", "2"});
    xdotool(middle);
    for (int code : {KEY_MULTIPLY, KEY_2, KEY_EQUALS}) tokens_.push_back(std::to_string(code));
    expect_window_shows_keys(5);
}

// Another program asks for the clipboard and is gone before the calculator
// answers (the calculator stopped meanwhile): the calculator carries on.
TEST_F(CalculatorWindow, ARequestorGoneBeforeTheAnswerDoesNotEndIt) {
    start({"--desktop", "--scale=" + std::to_string(SCALE)});
    expect_window_shows_keys(15);
    xdotool({"mousemove", "5", "300"});
    type({"7", "ctrl+c"}, {KEY_7});
    sleep_ms(300);
    calculator_->signal(SIGSTOP);
    {
        Child reader(Command{{"xclip", "-o", "-selection", "clipboard"}, {{"DISPLAY", x_.display()}}});
        sleep_ms(300);  // its request waits for the calculator
        reader.stop();
    }
    calculator_->signal(SIGCONT);
    EXPECT_EQ(calculator_->wait(1), -1) << calculator_->err();
    click(KEY_1);
    expect_window_shows_keys(5);
}

// Started from another folder, the window shows the calculator; without its
// data anywhere, one line names every place looked in.
TEST_F(CalculatorWindow, FindsItsDataFromAnyFolderOrNamesThePlacesLookedIn) {
    struct stat installed;
    // A build's program in build/ or in a tree's bin/: the checkout's tarno/ is beside build/ only.
    const std::string program = TARNO_PROGRAM, folder = program.substr(0, program.rfind('/'));
    if (stat((folder.substr(0, folder.rfind('/')) + "/tarno/tarno.bmp").c_str(), &installed) == 0) {
        start({"--desktop", "--scale=" + std::to_string(SCALE)}, files_.path());
        expect_window_shows_keys(15);
        calculator_->stop();
    }

    if (stat("/usr/share/tarno/tarno/tarno.bmp", &installed) == 0) GTEST_SKIP() << "the package's data is installed";
    // The program alone, in a folder of its own, with no tarno/ beside it.
    ASSERT_EQ(run({{"mkdir", "-p", files_.file("copy/bin"), files_.file("empty")}}).status, 0);
    ASSERT_EQ(run({{"cp", TARNO_PROGRAM, files_.file("copy/bin/tarno")}}).status, 0);
    start({"--desktop", "--scale=1"}, files_.file("empty"), files_.file("copy/bin/tarno"));
    const std::string line = "no data files (tarno.bmp, tarno9.bmp, arial.ttf, tarno.wav) in " + files_.file("empty") +
                             "/tarno/, " + files_.file("copy") + "/tarno/, /usr/share/tarno/tarno/\n";
    EXPECT_TRUE(calculator_->wait_for_err(line, 10)) << calculator_->err();
}

// A screen too small for the window even at scale 1: it opens at 1, and says so.
TEST(SmallScreen, TheWindowOpensAtScaleOneAndSaysSo) {
    XServer x{"200x300x24"};
    ASSERT_FALSE(x.display().empty());
    Child calculator(Command{{TARNO_PROGRAM, "--desktop"}, {{"DISPLAY", x.display()}, {"SDL_AUDIODRIVER", "none"}}});
    EXPECT_TRUE(calculator.wait_for_err("tarno: the screen, 200 x 300, is smaller than the window at scale 1, 240 x 320\n", 10))
        << calculator.err();
    EXPECT_EQ(calculator.wait(0.3), -1);
    calculator.stop();
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
