// The desktop window: the keyboard map, where the mouse lands at every
// scale, the scale chosen for a screen, and typed keys in the main loop.
#include <fstream>
#include <sstream>
#include <vector>

#include "sdl_stand_ins.h"
#include "shell_test_support.h"

namespace tarno {
namespace {

using shell_test::ShellTest;
using Desktop = ShellTest;

struct Typed {
    const char* what;
    Uint16 character;  // what the key types, 0 for nothing
    SDLKey key;
    SDLMod modifiers;
};

TEST(KeyboardMap, KeysPressTheCalculatorKeysOfTheirSigns) {
    const std::vector<std::pair<Typed, KeyCode>> map = {
        {{"0 on the main row", '0', SDLK_0, KMOD_NONE}, KEY_0},
        {{"5 on the main row", '5', SDLK_5, KMOD_NONE}, KEY_5},
        {{"9 on the main row", '9', SDLK_9, KMOD_NONE}, KEY_9},
        {{"the keypad's 7 with Num Lock", '7', SDLK_KP7, KMOD_NUM}, KEY_7},
        {{"the keypad's 7 without Num Lock", 0, SDLK_KP7, KMOD_NONE}, KEY_7},
        {{"the keypad's 0 without Num Lock", 0, SDLK_KP0, KMOD_NONE}, KEY_0},
        {{"a full stop", '.', SDLK_PERIOD, KMOD_NONE}, KEY_POINT},
        {{"a comma", ',', SDLK_COMMA, KMOD_NONE}, KEY_POINT},
        {{"the keypad's decimal", '.', SDLK_KP_PERIOD, KMOD_NUM}, KEY_POINT},
        {{"the keypad's decimal typing a comma", ',', SDLK_KP_PERIOD, KMOD_NUM}, KEY_POINT},
        {{"the keypad's decimal without Num Lock", 0, SDLK_KP_PERIOD, KMOD_NONE}, KEY_POINT},
        {{"+ as Shift+=", '+', SDLK_EQUALS, KMOD_LSHIFT}, KEY_ADD},
        {{"- on the main row", '-', SDLK_MINUS, KMOD_NONE}, KEY_SUBTRACT},
        {{"* as Shift+8", '*', SDLK_8, KMOD_LSHIFT}, KEY_MULTIPLY},
        {{"/ on the main row", '/', SDLK_SLASH, KMOD_NONE}, KEY_DIVIDE},
        {{"the keypad's +", '+', SDLK_KP_PLUS, KMOD_NONE}, KEY_ADD},
        {{"the keypad's -", '-', SDLK_KP_MINUS, KMOD_NONE}, KEY_SUBTRACT},
        {{"the keypad's *", '*', SDLK_KP_MULTIPLY, KMOD_NONE}, KEY_MULTIPLY},
        {{"the keypad's /", '/', SDLK_KP_DIVIDE, KMOD_NONE}, KEY_DIVIDE},
        {{"^ as Shift+6", '^', SDLK_6, KMOD_LSHIFT}, KEY_POWER},
        {{"( as Shift+9", '(', SDLK_9, KMOD_LSHIFT}, KEY_OPEN},
        {{") as Shift+0", ')', SDLK_0, KMOD_LSHIFT}, KEY_CLOSE},
        {{"% as Shift+5", '%', SDLK_5, KMOD_LSHIFT}, KEY_PERCENT},
        {{"e", 'e', SDLK_e, KMOD_NONE}, KEY_EXP},
        {{"E", 'E', SDLK_e, KMOD_LSHIFT}, KEY_EXP},
        {{"=", '=', SDLK_EQUALS, KMOD_NONE}, KEY_EQUALS},
        {{"Return", '\r', SDLK_RETURN, KMOD_NONE}, KEY_EQUALS},
        {{"the keypad's Enter", '\r', SDLK_KP_ENTER, KMOD_NONE}, KEY_EQUALS},
        {{"Backspace", '\b', SDLK_BACKSPACE, KMOD_NONE}, KEY_BACKSPACE},
        {{"Escape", 27, SDLK_ESCAPE, KMOD_NONE}, KEY_CLEAR},
        {{"Delete", 127, SDLK_DELETE, KMOD_NONE}, KEY_CLEAR},
        {{"Ctrl+Q", 17, SDLK_q, KMOD_LCTRL}, KEY_OFF},
        {{"Ctrl+Q with the right Ctrl", 17, SDLK_q, KMOD_RCTRL}, KEY_OFF},
    };
    for (const auto& [typed, key] : map) {
        const TypedAction action = typed_action(typed.character, typed.key, typed.modifiers);
        EXPECT_EQ(action.kind, TypedAction::PRESS) << typed.what;
        EXPECT_EQ(action.key, key) << typed.what;
    }
}

TEST(KeyboardMap, CtrlCCopiesAndTheRestDoesNothing) {
    EXPECT_EQ(typed_action(3, SDLK_c, KMOD_LCTRL).kind, TypedAction::COPY);
    const std::vector<Typed> unmapped = {
        {"z", 'z', SDLK_z, KMOD_NONE},
        {"c", 'c', SDLK_c, KMOD_NONE},
        {"a letter", 'w', SDLK_w, KMOD_NONE},
        {"Q", 'Q', SDLK_q, KMOD_LSHIFT},
        {"$", '$', SDLK_4, KMOD_LSHIFT},
        {"Insert without Shift", 0, SDLK_INSERT, KMOD_NONE},
        {"Ctrl+E", 5, SDLK_e, KMOD_LCTRL},
        {"Ctrl+9", 0, SDLK_9, KMOD_LCTRL},
        {"Shift alone", 0, SDLK_LSHIFT, KMOD_LSHIFT},
        {"F1", 0, SDLK_F1, KMOD_NONE},
        {"Tab", '\t', SDLK_TAB, KMOD_NONE},
        {"a letter of another alphabet", 0x3b1, SDLK_WORLD_65, KMOD_NONE},
    };
    for (const Typed& typed : unmapped)
        EXPECT_EQ(typed_action(typed.character, typed.key, typed.modifiers).kind, TypedAction::NOTHING) << typed.what;
}

std::string file_text(const char* path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A text as the man page's source writes it.
std::string in_roff(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\\' ? std::string("\\e") : c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

// Every line of the keyboard table in --help, in README's table of keys and
// in the man page's KEYBOARD section, as the user reads it there.
TEST(KeyboardMap, HelpReadmeAndManPageListTheWholeTable) {
    const std::string help = help_text(), readme = file_text("README.md"), man = file_text("packaging/tarno.1");
    ASSERT_FALSE(readme.empty());
    ASSERT_FALSE(man.empty());
    for (const KeyboardLine& line : keyboard_lines()) {
        EXPECT_NE(help.find("  " + line.typed + " "), std::string::npos) << line.typed;
        EXPECT_NE(help.find(" " + line.does + "\n"), std::string::npos) << line.does;
        const std::string row = "| " + line.typed + " | " + line.does + " |\n";
        EXPECT_NE(readme.find(row), std::string::npos) << "README lacks the row\n" << row;
        const std::string item = ".TP\n.B " + in_roff(line.typed) + "\n" + in_roff(line.does) + "\n";
        EXPECT_NE(man.find(item), std::string::npos) << "the man page lacks\n" << item;
    }
}

TEST(DesktopWindow, ScaleFillsAtMostNineTenthsOfTheScreensHeight) {
    const std::vector<std::pair<int, int>> scales = {
        {1080, 3},  // 960 of 1080 rows
        {2160, 6},  // 1920 of 2160
        {1440, 4},  // 1280 of 1440
        {1067, 3},  // 960 is 89.98 %
        {1066, 2},  // 960 would be 90.06 %
        {768, 2},
        {240, 1},   // too small for even 1: still 1
        {0, 1},
        {100000, 8},
    };
    for (const auto& [height, scale] : scales) EXPECT_EQ(default_scale(height), scale) << height << " rows";
}

TEST(DesktopWindow, ScaleFitsTheScreensWidthToo) {
    const std::vector<std::pair<std::pair<int, int>, int>> scales = {
        {{1080, 1920}, 4},  // an upright monitor: 960 x 1280
        {{1920, 1080}, 3},  // a wide one: 720 x 960
        {{500, 2000}, 1},   // 2 would be 480 of 500 columns
        {{200, 100}, 1},    // smaller than the window at 1: still 1
    };
    for (const auto& [size, scale] : scales)
        EXPECT_EQ(default_scale(size.second, size.first), scale) << size.first << " x " << size.second;
}

TEST(DesktopWindow, DataIsLookedForHereThenBesideTheProgramThenInstalled) {
    const std::vector<std::string> folders = data_folders("/tmp", "/home/u/tarno-src/build/tarno", "/usr/share/tarno");
    EXPECT_EQ(folders, (std::vector<std::string>{"/tmp", "/home/u/tarno-src", "/usr/share/tarno"}));
    EXPECT_EQ(data_folders("/tmp", "", "/usr/share/tarno"), (std::vector<std::string>{"/tmp", "/usr/share/tarno"}));
}

SDL_Event mouse_button(Uint8 type, Uint8 button, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.x = static_cast<Uint16>(x);
    event.button.y = static_cast<Uint16>(y);
    return event;
}

// Where the mouse in the window, at scale, presses: every pixel of every
// key's cell, as the cell table has it, seen upright and scaled.
TEST_F(Desktop, EveryKeyIsHitAtEveryScale) {
    for (int scale : {1, 2, 3, 8}) {
        const auto backend = make_desktop_backend(scale);
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 8; ++column) {
                const tarno_test::Range xs = tarno_test::CELL_COLUMNS[column], ys = tarno_test::CELL_ROWS[row];
                for (int x : {xs.first, xs.last}) {
                    for (int y : {ys.first, ys.last}) {
                        // The screen pixel (x, y) is the window's block from ((239 - y) s, x s).
                        for (int corner : {0, scale - 1}) {
                            backend->sdl_event(mouse_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT,
                                                            (239 - y) * scale + corner, x * scale + scale - 1 - corner));
                            EXPECT_EQ(pointer_key(0), tarno_test::key_from_cell_table(x, y))
                                << "scale " << scale << ", screen (" << x << ", " << y << ")";
                            reset_input();
                        }
                    }
                }
            }
        }
    }
}

SDL_Event typed(Uint16 character, SDLKey key, SDLMod modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.unicode = character;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    return event;
}

TEST_F(Desktop, TypedKeysClickAndCountWithoutTheTapsWait) {
    const auto backend = make_desktop_backend(2);
    platform.backend = backend.get();
    app.next_accept_ms = shell_test::test_now + 150;  // a tap's wait running
    for (const SDL_Event& event : {typed('7', SDLK_7), typed('7', SDLK_7), typed('z', SDLK_z), typed('*', SDLK_8)})
        handle_event(event);
    EXPECT_EQ(sound.clicks, 3) << "two sevens and the times, each with its click; z does nothing";
    EXPECT_EQ(read_only_calc_state().x_value, 77.0);
    EXPECT_EQ(read_only_calc_state().pending_op, OP_MULTIPLY);
    EXPECT_EQ(app.next_accept_ms, shell_test::test_now + 150) << "the tap's wait is left as it was";
    EXPECT_EQ(app.quit_requested, 0);

    handle_event(typed(17, SDLK_q, KMOD_LCTRL));
    EXPECT_EQ(app.quit_requested, 1) << "Ctrl+Q is Off";
    EXPECT_EQ(sound.clicks, 4) << "with Off's click";
}

TEST_F(Desktop, WithoutSoundKeysAreSilentWithoutAMessageEach) {
    sound.click_channel = -1;
    const auto backend = make_desktop_backend(2);
    platform.backend = backend.get();
    EXPECT_EQ(tarno_test::stderr_of([] { handle_event(typed('7', SDLK_7)); }), "");
    platform.backend = &handheld_backend();
    EXPECT_EQ(tarno_test::stderr_of([] { press_key(KEY_8); }), "Unable to play WAV file: " + std::string(SDL_GetError()) + "\n")
        << "the handheld says so at every press";
    EXPECT_EQ(read_only_calc_state().x_value, 78.0);
}

TEST_F(Desktop, TheNumberIsCopiedWithoutItsLeadingBlank) {
    EXPECT_EQ(number_to_copy(), "0");
    for (KeyCode key : {KEY_1, KEY_2, KEY_SIGN}) handle_key(key);
    EXPECT_EQ(number_to_copy(), "-12");
    for (KeyCode key : {KEY_SHIFT, KEY_LOG, KEY_EQUALS}) handle_key(key);  // Sci
    EXPECT_EQ(number_to_copy(), "-1.200000E+01");
}

}  // namespace
}  // namespace tarno
