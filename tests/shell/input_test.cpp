// The desktop's and the browser's input: pointers that act on release over
// the key they went down on, every key and shifted meaning from the
// keyboard, the key cursor, the paste's rules and the copy's form. What
// each should do is told as the taps on the keypad that do the same. (The
// pressed look, clicks of no length and fingers lifting in turn are the
// desktop's and the browser's end-to-end tests'.)
#include <cstring>
#include <string>
#include <vector>

#include "sdl_stand_ins.h"
#include "shell_test_support.h"

namespace tarno {
namespace {

using shell_test::ShellTest;
using tarno_test::key_middle;
using Pointers = ShellTest;
using TypedKeys = ShellTest;
using KeyCursor = ShellTest;
using Paste = ShellTest;

// What the screen shows, as texts.
std::string shown() {
    const ScreenTexts t = screen_texts(read_only_calc_state());
    return std::string(t.keypad_picture) + "|" + t.paren_mark + "|" + t.memory_mark + "|" + t.format_name + "|" +
           t.angle_unit + "|" + t.number_line;
}

// What the taps show after power-on.
std::string shown_after_taps(const std::vector<KeyCode>& taps) {
    power_on();
    for (KeyCode key : taps) handle_key(key);
    const std::string texts = shown();
    power_on();
    return texts;
}

// Whether the screen shows now what taps show from power-on; the
// calculator is powered on afresh after.
void expect_shown_as_taps(const std::vector<KeyCode>& taps, const std::string& what = "") {
    const std::string now = shown();
    EXPECT_EQ(now, shown_after_taps(taps)) << what;
}

void pointer(InputEvent::Kind kind, int id, KeyCode key) {
    const tarno_test::Point at = key_middle(key);
    handle_input(pointer_input(kind, id, at.x, at.y));
}

std::vector<Uint16> pixels(SDL_Surface* screen) {
    std::vector<Uint16> out;
    for (int y = 0; y < screen->h; ++y)
        for (int x = 0; x < screen->w; ++x)
            out.push_back(reinterpret_cast<const Uint16*>(static_cast<const Uint8*>(screen->pixels) + y * screen->pitch)[x]);
    return out;
}

TEST_F(Pointers, SlidingPressesNothingAndLeavingCancels) {
    for (KeyCode key : {KEY_1, KEY_2}) {
        pointer(InputEvent::POINTER_DOWN, 0, key);
        pointer(InputEvent::POINTER_UP, 0, key);
    }
    // From 7 across 8 onto Off, lifted there; then from beside the keys onto 9.
    pointer(InputEvent::POINTER_DOWN, 0, KEY_7);
    pointer(InputEvent::POINTER_MOVE, 0, KEY_8);
    pointer(InputEvent::POINTER_MOVE, 0, KEY_OFF);
    pointer(InputEvent::POINTER_UP, 0, KEY_OFF);
    handle_input(pointer_input(InputEvent::POINTER_DOWN, 0, shell_test::BESIDE_KEYS.x, shell_test::BESIDE_KEYS.y));
    pointer(InputEvent::POINTER_MOVE, 0, KEY_9);
    pointer(InputEvent::POINTER_UP, 0, KEY_9);
    // Back onto its key after leaving it: still cancelled.
    pointer(InputEvent::POINTER_DOWN, 0, KEY_7);
    handle_input(pointer_input(InputEvent::POINTER_MOVE, 0, -500, 4000));
    pointer(InputEvent::POINTER_UP, 0, KEY_7);
    EXPECT_EQ(app.quit_requested, 0);
    EXPECT_EQ(sound.clicks, 2);
    expect_shown_as_taps({KEY_1, KEY_2});
}

TEST_F(Pointers, BadInputPressesNothing) {
    const std::vector<InputEvent> bad = {
        pointer_input(InputEvent::POINTER_UP, 5, 100, 100),       // a release with no press
        pointer_input(InputEvent::POINTER_MOVE, 77, 100, 100),    // a pointer never seen
        pointer_input(InputEvent::POINTER_CANCEL, 99),
        pointer_input(InputEvent::POINTER_DOWN, 3, 1 << 30, -(1 << 30)),
        pointer_input(InputEvent::POINTER_UP, 3, 1 << 30, -(1 << 30)),
    };
    for (const InputEvent& event : bad) handle_input(event);
    // Ten fingers and more, all cancelled or lifted elsewhere: a cancelled touch, focus lost.
    for (int finger = 0; finger < 20; ++finger) pointer(InputEvent::POINTER_DOWN, finger, KEY_7);
    pointer(InputEvent::POINTER_CANCEL, 0, KEY_7);
    for (int finger = 1; finger < 10; ++finger) pointer(InputEvent::POINTER_UP, finger, KEY_8);
    handle_input(pointer_input(InputEvent::POINTER_CANCEL, ALL_POINTERS));
    for (int finger = 0; finger < 20; ++finger) pointer(InputEvent::POINTER_UP, finger, KEY_7);
    EXPECT_EQ(sound.clicks, 0);
    expect_shown_as_taps({});
}

TEST_F(Pointers, APasteOrATypedKeyWhileAKeyIsHeldComesFirst) {
    pointer(InputEvent::POINTER_DOWN, 0, KEY_7);
    paste_text("12");
    type_key(SDL_keysym{0, SDLK_UNKNOWN, KMOD_NONE, '3'});
    pointer(InputEvent::POINTER_UP, 0, KEY_7);
    expect_shown_as_taps({KEY_1, KEY_2, KEY_3, KEY_7});
}

// Every shifted meaning and function from the keyboard, from both shift
// states: what the two taps Shift and the key, or the key alone, show.
TEST_F(TypedKeys, EveryMeaningIsWhatItsTapsWouldDo) {
    struct Case {
        char typed;
        KeyCode key;
        bool shifted;  // the meaning typed is the shifted one
    };
    const std::vector<Case> cases = {
        {'q', KEY_SQUARE, false}, {'@', KEY_SQUARE_ROOT, false}, {'y', KEY_POWER, false}, {'^', KEY_POWER, false},
        {'#', KEY_ROOT, false}, {'x', KEY_EXPONENTIAL, false}, {'n', KEY_LN, false}, {'g', KEY_TEN_POWER, false},
        {'l', KEY_LOG, false}, {'!', KEY_FACTORIAL, false}, {'r', KEY_RECIPROCAL, false}, {'%', KEY_PERCENT, false},
        {'s', KEY_SQUARE, true}, {'o', KEY_SQUARE_ROOT, true}, {'t', KEY_POWER, true}, {'d', KEY_ROOT, true},
        {'S', KEY_EXPONENTIAL, true}, {'O', KEY_LN, true}, {'T', KEY_TEN_POWER, true}, {'f', KEY_LOG, true},
        {';', KEY_FACTORIAL, true}, {':', KEY_RECIPROCAL, true}, {'\\', KEY_PERCENT, true},
    };
    for (const Case& c : cases) {
        for (bool shift_on : {false, true}) {
            // 0.5 typed, Shift pressed before or not, then the key typed.
            std::vector<KeyCode> taps = {KEY_POINT, KEY_5};
            if (shift_on) taps.push_back(KEY_SHIFT);
            const std::string before = shown_after_taps(taps);
            if (shift_on != c.shifted) taps.push_back(KEY_SHIFT);
            taps.push_back(c.key);
            const std::string expected = shown_after_taps(taps);
            for (KeyCode key : std::vector<KeyCode>(taps.begin(), taps.begin() + (shift_on ? 3 : 2))) handle_key(key);
            ASSERT_EQ(shown(), before);
            type_key(SDL_keysym{0, SDLK_UNKNOWN, KMOD_NONE, static_cast<Uint16>(c.typed)});
            EXPECT_EQ(shown(), expected) << "'" << c.typed << "' with Shift " << (shift_on ? "on" : "off");
            power_on();
        }
    }
}

TEST_F(TypedKeys, KeysOfTheirOwnAndTheMinusAfterExp) {
    const std::vector<std::pair<std::string, std::vector<KeyCode>>> typed = {
        {"p", {KEY_PI}},
        {"3m", {KEY_3, KEY_STORE}},
        {"3mCR", {KEY_3, KEY_STORE, KEY_CLEAR, KEY_RECALL}},
        {"2+3=a", {KEY_2, KEY_ADD, KEY_3, KEY_EQUALS, KEY_ANSWER}},
        {"i", {KEY_SHIFT}},
        {"ii", {KEY_SHIFT, KEY_SHIFT}},
        {"7_", {KEY_7, KEY_SIGN}},
        {"1.5e-3", {KEY_1, KEY_POINT, KEY_5, KEY_EXP, KEY_SIGN, KEY_3}},
        {"1.5e3-2=", {KEY_1, KEY_POINT, KEY_5, KEY_EXP, KEY_3, KEY_SUBTRACT, KEY_2, KEY_EQUALS}},
        {"5-e-", {KEY_5, KEY_SUBTRACT, KEY_EXP, KEY_SIGN}},
    };
    for (const auto& [keys, taps] : typed) {
        for (char c : keys) {
            if (c == 'C') type_key(SDL_keysym{0, SDLK_ESCAPE, KMOD_NONE, 27});
            else type_key(SDL_keysym{0, SDLK_UNKNOWN, KMOD_NONE, static_cast<Uint16>(c)});
        }
        expect_shown_as_taps(taps, keys);
        power_on();
    }
    type_key(SDL_keysym{0, SDLK_F9, KMOD_NONE, 0});
    expect_shown_as_taps({KEY_SIGN}, "F9");
}

TEST_F(KeyCursor, ArrowsShowAndMoveTheRingWrappingAndSpacePressesItsKey) {
    EXPECT_EQ(cursor_key(), NO_KEY);
    EXPECT_FALSE(press_cursor()) << "no cursor shown: Space presses nothing";
    using A = TypedAction;
    const std::vector<std::pair<TypedAction::Kind, KeyCode>> moves = {
        {A::CURSOR_DOWN, KEY_5},  // the first arrow shows it where it is
        {A::CURSOR_LEFT, KEY_4},         {A::CURSOR_LEFT, KEY_ANSWER},  {A::CURSOR_RIGHT, KEY_4},
        {A::CURSOR_UP, KEY_7},           {A::CURSOR_UP, KEY_FACTORIAL}, {A::CURSOR_UP, KEY_EXPONENTIAL},
        {A::CURSOR_UP, KEY_SQUARE},      {A::CURSOR_UP, KEY_OFF},       {A::CURSOR_RIGHT, KEY_EXP},
        {A::CURSOR_RIGHT, KEY_BACKSPACE}, {A::CURSOR_RIGHT, KEY_EQUALS}, {A::CURSOR_RIGHT, KEY_OFF},
        {A::CURSOR_LEFT, KEY_EQUALS},    {A::CURSOR_LEFT, KEY_BACKSPACE}, {A::CURSOR_RIGHT, KEY_EQUALS},
        {A::CURSOR_UP, KEY_ADD},         {A::CURSOR_DOWN, KEY_EQUALS},  {A::CURSOR_DOWN, KEY_ROOT},
    };
    for (const auto& [move, key] : moves) {
        act_typed({move, NO_KEY});
        EXPECT_EQ(cursor_key(), key) << "after move " << move;
    }
    act_typed({A::CURSOR_PRESS, NO_KEY});
    act_typed({A::CURSOR_RIGHT, NO_KEY});
    act_typed({A::CURSOR_PRESS, NO_KEY});
    expect_shown_as_taps({KEY_ROOT, KEY_SHIFT});
    EXPECT_EQ(sound.clicks, 2);
    pointer(InputEvent::POINTER_DOWN, 0, KEY_1);
    EXPECT_EQ(cursor_key(), NO_KEY) << "gone at the next press";
}

TEST_F(KeyCursor, EachScreenWithTheRingIsFlippedOnceAndWithIt) {
    // The handheld shows every flip: a second one for the ring alone would
    // show the screen without it in between.
    shell_test::screen_flips = 0;
    act_typed({TypedAction::CURSOR_DOWN, NO_KEY});
    act_typed({TypedAction::CURSOR_PRESS, NO_KEY});
    EXPECT_EQ(shell_test::screen_flips, 2) << "one for the ring's first screen, one for its key's";
}

TEST_F(KeyCursor, TheDpadMovesItOnTheHandheldAndBPressesAndATapHidesIt) {
    // The console held upright: its d-pad's left is up, its up is right.
    SDL_Event button{};
    button.type = SDL_JOYBUTTONDOWN;
    for (int b : {2, 2, 0, 13}) {  // shown at 5, up to 8, right to 9, pressed
        button.jbutton.button = static_cast<Uint8>(b);
        handle_event(button);
    }
    EXPECT_EQ(cursor_key(), KEY_9);
    expect_shown_as_taps({KEY_9});
    app.touch_x = shell_test::BESIDE_KEYS.x;
    app.touch_y = shell_test::BESIDE_KEYS.y;
    handle_press();
    EXPECT_EQ(cursor_key(), NO_KEY);
}

TEST_F(Paste, TypesNumbersAndCalculationsAsTheirTaps) {
    const std::vector<std::pair<std::string, std::vector<KeyCode>>> pastes = {
        {"-1.5e-3", {KEY_1, KEY_POINT, KEY_5, KEY_SIGN, KEY_EXP, KEY_SIGN, KEY_3}},
        {"  12,5\n", {KEY_1, KEY_2, KEY_POINT, KEY_5}},
        {"2*-3=", {KEY_2, KEY_MULTIPLY, KEY_3, KEY_SIGN, KEY_EQUALS}},
        {"(1 + 2) ^ 2 =", {KEY_OPEN, KEY_1, KEY_ADD, KEY_2, KEY_CLOSE, KEY_POWER, KEY_2, KEY_EQUALS}},
        {"1E+5", {KEY_1, KEY_EXP, KEY_5}},
        {"-(3)=", {KEY_SUBTRACT, KEY_OPEN, KEY_3, KEY_CLOSE, KEY_EQUALS}},
        {"1234567890123456", {KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0, KEY_1, KEY_2,
                              KEY_3, KEY_4, KEY_5, KEY_6}},
    };
    for (const auto& [text, taps] : pastes) {
        EXPECT_EQ(paste_refusal(text), "") << text;
        handle_input({InputEvent::PASTE, 0, 0, 0, {TypedAction::NOTHING, NO_KEY}, text});
        expect_shown_as_taps(taps, text);
        power_on();
    }
}

TEST_F(Paste, RefusesWholeWhatIsNoNumberNorCalculation) {
    const std::string nul("12\0" "3", 4);
    const std::vector<std::string> refused = {
        "12abc", "1e5x", "q", "1.2.3", "12345678901234567", std::string(65, '1'), std::string(1 << 20, '7'),
        nul, std::string("\x01\xff\x80 12"), "\xd7\x90\xd7\x91 12", "12 \xf0\x9f\x98\x80", "1\t2", "", "   ",
    };
    handle_key(KEY_4);
    draw_calculator(app.screen);
    const std::vector<Uint16> before = pixels(app.screen);
    for (const std::string& text : refused) {
        EXPECT_NE(paste_refusal(text), "") << text.substr(0, 20);
        paste_text(text);
    }
    EXPECT_EQ(sound.clicks, 0);
    expect_shown_as_taps({KEY_4});
    EXPECT_EQ(pixels(app.screen), before);
}

TEST_F(Paste, CopyGivesTheNumberWithoutBlanks) {
    for (KeyCode key : {KEY_1, KEY_POINT, KEY_5, KEY_EXP, KEY_3}) handle_key(key);
    EXPECT_EQ(number_to_copy(), "1.5E3");
    power_on();
    for (KeyCode key : {KEY_2, KEY_POINT, KEY_5, KEY_SIGN, KEY_EXP, KEY_SIGN, KEY_7}) handle_key(key);
    EXPECT_EQ(number_to_copy(), "-2.5E-7");
}

}  // namespace
}  // namespace tarno
