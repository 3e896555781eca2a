// The shell's input, whichever backend reported it: pointers that press a
// key on the way down and act on the way up, typed keys through the
// keyboard table, pastes typed key by key, and the key cursor.
//
// Sections: pointers; typed keys; the paste; the key cursor; marks on the screen.
#include "input.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "backend.h"
#include "loop.h"

namespace tarno {

namespace {

// --- Pointers ---

struct HeldPointer {
    int id;
    KeyCode key;  // the key it went down on; NO_KEY once it left it (or went down on none)
};

std::vector<HeldPointer> held;

HeldPointer* find_pointer(int id) {
    for (HeldPointer& pointer : held)
        if (pointer.id == id) return &pointer;
    return nullptr;
}

void forget_pointer(int id) {
    held.erase(std::remove_if(held.begin(), held.end(), [id](const HeldPointer& p) { return p.id == id; }),
               held.end());
}

void pointer_down(int id, int x, int y) {
    // The cursor gives way to the pointer: gone at the first press.
    const bool was_shown = hide_cursor();
    HeldPointer* pointer = find_pointer(id);
    if (pointer == nullptr) {
        if (held.size() >= static_cast<std::size_t>(MAX_POINTERS)) return;
        held.push_back({id, key_at(x, y)});
        pointer = &held.back();
    }
    if (pointer->key != NO_KEY || was_shown) draw_calculator(app.screen);
}

void pointer_move(int id, int x, int y) {
    HeldPointer* pointer = find_pointer(id);
    // Sliding never presses a key: only leaving the one pressed matters.
    if (pointer == nullptr || pointer->key == NO_KEY || key_at(x, y) == pointer->key) return;
    pointer->key = NO_KEY;
    draw_calculator(app.screen);
}

void pointer_up(int id, int x, int y) {
    HeldPointer* pointer = find_pointer(id);
    if (pointer == nullptr) return;  // a release with no press
    const KeyCode key = pointer->key;
    forget_pointer(id);
    if (key == NO_KEY) return;
    if (key_at(x, y) == key) press_key(key);  // redraws, the key no longer held
    else draw_calculator(app.screen);
}

void pointer_cancel(int id) {
    bool drawn = false;
    for (const HeldPointer& pointer : held)
        if ((id == ALL_POINTERS || pointer.id == id) && pointer.key != NO_KEY) drawn = true;
    if (id == ALL_POINTERS) held.clear();
    else forget_pointer(id);
    if (drawn) draw_calculator(app.screen);
}

// --- Typed keys ---

void press_meaning(KeyCode key, Meaning meaning) {
    if (key == KEY_SUBTRACT && last_pressed_key() == KEY_EXP) key = KEY_SIGN;  // 1.5e-3: the exponent's sign
    const bool shifted = read_only_calc_state().shift_active != 0;
    // The other meaning of the key: Shift first, as two taps would do it.
    if ((meaning == Meaning::SHIFTED && !shifted) || (meaning == Meaning::NORMAL && shifted)) press_key(KEY_SHIFT);
    press_key(key);
}

// --- The paste ---

bool number_character(char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; }

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string without_surrounding_blanks(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// Presses the keys of a pasted text, already found good, as typed; a minus
// where an operand begins waits to be the number's ± until its mantissa is in.
class PasteTyping {
public:
    void type(char c) {
        if (c == ' ') return;
        if (number_character(c)) {
            in_number_ = true;
            operand_expected_ = false;
            press(character_action(c).key);
            return;
        }
        if (c == 'e' || c == 'E') {
            end_mantissa();
            press(KEY_EXP);
            after_exp_ = true;
            return;
        }
        if (after_exp_ && (c == '-' || c == '+')) {
            if (c == '-') press(KEY_SIGN);  // ± on the exponent; a plus leaves it positive
            after_exp_ = false;
            return;
        }
        if (operand_expected_ && (c == '-' || c == '+')) {
            if (c == '-') minus_waiting_ = !minus_waiting_;
            return;
        }
        end_number();
        if (minus_waiting_) {
            // A minus before something not a number: 0 − (...).
            press(KEY_SUBTRACT);
            minus_waiting_ = false;
        }
        press(character_action(c).key);
        operand_expected_ = c != ')' && c != '%' && c != '=';
    }
    void finish() {
        end_number();
        if (minus_waiting_) press(KEY_SUBTRACT);
    }

private:
    void press(KeyCode key) { press_meaning(key, Meaning::NORMAL); }
    void end_mantissa() {
        if (in_number_ && minus_waiting_) {
            press(KEY_SIGN);
            minus_waiting_ = false;
        }
    }
    void end_number() {
        end_mantissa();
        in_number_ = false;
        after_exp_ = false;
    }

    bool operand_expected_ = true;  // at the start, after an operator or "("
    bool in_number_ = false;
    bool after_exp_ = false;        // right after EXP: a sign is the exponent's
    bool minus_waiting_ = false;
};

// --- The key cursor ---

constexpr int KEYPAD_ROWS = 8, KEYPAD_COLUMNS = 5;  // as the user sees the keypad
constexpr KeyCode CURSOR_START = KEY_5;             // the middle of the digits

bool cursor_shown = false;
int cursor_row = CURSOR_START / 10, cursor_column = CURSOR_START % 10;

// The equals key fills the last row's two right-hand places.
bool on_equals(int row, int column) { return row == KEYPAD_ROWS && column >= KEY_EQUALS % 10 - 1; }

// --- Marks on the screen ---

void invert_cell(SDL_Surface* screen, const KeyCell& cell) {
    for (int y = cell.y; y < cell.y + cell.h; ++y) {
        auto* row = reinterpret_cast<Uint16*>(static_cast<Uint8*>(screen->pixels) + y * screen->pitch);
        for (int x = cell.x; x < cell.x + cell.w; ++x) row[x] = static_cast<Uint16>(~row[x]);
    }
}

// The ring around a cell: RING_WIDTH pixels, RING_GAP outside it, within the gaps between keys.
constexpr int RING_GAP = 1, RING_WIDTH = 2;
constexpr Uint8 RING_RGB[] = {255, 200, 0};

void draw_ring(SDL_Surface* screen, const KeyCell& cell) {
    const Uint32 colour = SDL_MapRGB(screen->format, RING_RGB[0], RING_RGB[1], RING_RGB[2]);
    const int out = RING_GAP + RING_WIDTH;
    const Sint16 x = static_cast<Sint16>(cell.x - out), y = static_cast<Sint16>(cell.y - out);
    const Uint16 w = static_cast<Uint16>(cell.w + 2 * out), h = static_cast<Uint16>(cell.h + 2 * out);
    SDL_Rect sides[] = {{x, y, w, RING_WIDTH},
                        {x, static_cast<Sint16>(y + h - RING_WIDTH), w, RING_WIDTH},
                        {x, y, RING_WIDTH, h},
                        {static_cast<Sint16>(x + w - RING_WIDTH), y, RING_WIDTH, h}};
    for (SDL_Rect& side : sides) SDL_FillRect(screen, &side, colour);
}

}  // namespace

InputEvent pointer_input(InputEvent::Kind kind, int pointer, int x, int y) {
    InputEvent event{kind, pointer, x, y, {TypedAction::NOTHING, NO_KEY}, ""};
    return event;
}

void handle_input(const InputEvent& event) {
    switch (event.kind) {
    case InputEvent::POINTER_DOWN: pointer_down(event.pointer, event.x, event.y); break;
    case InputEvent::POINTER_MOVE: pointer_move(event.pointer, event.x, event.y); break;
    case InputEvent::POINTER_UP: pointer_up(event.pointer, event.x, event.y); break;
    case InputEvent::POINTER_CANCEL: pointer_cancel(event.pointer); break;
    case InputEvent::TYPED: act_typed(event.typed); break;
    case InputEvent::PASTE: paste_text(event.text); break;
    }
}

KeyCode pointer_key(int pointer) {
    const HeldPointer* held_pointer = find_pointer(pointer);
    return held_pointer ? held_pointer->key : NO_KEY;
}

void reset_input() {
    held.clear();
    cursor_shown = false;
    cursor_row = CURSOR_START / 10;
    cursor_column = CURSOR_START % 10;
}

void act_typed(const TypedAction& action) {
    switch (action.kind) {
    case TypedAction::PRESS: press_meaning(action.key, action.meaning); break;
    case TypedAction::COPY: platform.backend->copy(number_to_copy()); break;
    case TypedAction::PASTE: platform.backend->ask_for_paste(); break;
    case TypedAction::CURSOR_UP: move_cursor(CursorMove::UP); break;
    case TypedAction::CURSOR_DOWN: move_cursor(CursorMove::DOWN); break;
    case TypedAction::CURSOR_LEFT: move_cursor(CursorMove::LEFT); break;
    case TypedAction::CURSOR_RIGHT: move_cursor(CursorMove::RIGHT); break;
    case TypedAction::CURSOR_PRESS: press_cursor(); break;
    case TypedAction::NOTHING: break;
    }
}

void type_key(const SDL_keysym& key) { act_typed(typed_action(key.unicode, key.sym, key.mod)); }

std::string number_to_copy() {
    std::string number = screen_texts(read_only_calc_state()).number_line;
    number.erase(std::remove(number.begin(), number.end(), ' '), number.end());
    return number;
}

std::string paste_refusal(const std::string& pasted) {
    const std::string text = without_surrounding_blanks(pasted);
    if (text.empty()) return "nothing to paste";
    if (text.size() > MAX_PASTED_CHARACTERS) return "more than 64 characters";
    int digits = 0, points = 0;
    bool in_exponent = false;
    for (char c : text) {
        const bool arithmetic = c != '\0' && std::strchr("+-*/^()%=", c) != nullptr;
        if (!number_character(c) && !arithmetic && c != 'e' && c != 'E' && c != ' ')
            return "not a number or a calculation";
        if (c == 'e' || c == 'E') {
            in_exponent = true;
        } else if (number_character(c)) {
            if (in_exponent) continue;
            if (c == '.' || c == ',') ++points;
            else ++digits;
            if (points > 1) return "a second point in one number";
            if (digits > MAX_PASTED_DIGITS) return "more than 16 digits in one number";
        } else if (c != ' ') {
            digits = points = 0;  // the next number begins
            if (!(in_exponent && (c == '-' || c == '+'))) in_exponent = false;
        }
    }
    return "";
}

void paste_text(const std::string& text) {
    if (!paste_refusal(text).empty()) return;
    PasteTyping typing;
    for (char c : without_surrounding_blanks(text)) typing.type(c);
    typing.finish();
}

void move_cursor(CursorMove move) {
    if (!cursor_shown) {
        cursor_shown = true;  // the first move shows the cursor where it is
    } else {
        const bool equals = on_equals(cursor_row, cursor_column);
        switch (move) {
        case CursorMove::UP: cursor_row = cursor_row == 1 ? KEYPAD_ROWS : cursor_row - 1; break;
        case CursorMove::DOWN: cursor_row = cursor_row == KEYPAD_ROWS ? 1 : cursor_row + 1; break;
        case CursorMove::LEFT:
            // From the equals key straight to its left neighbour, whichever half it was on.
            if (equals) cursor_column = KEY_EQUALS % 10 - 2;
            else cursor_column = cursor_column == 1 ? KEYPAD_COLUMNS : cursor_column - 1;
            break;
        case CursorMove::RIGHT:
            cursor_column = equals || cursor_column == KEYPAD_COLUMNS ? 1 : cursor_column + 1;
            break;
        }
    }
    draw_calculator(app.screen);
}

KeyCode cursor_key() {
    if (!cursor_shown) return NO_KEY;
    return on_equals(cursor_row, cursor_column) ? KEY_EQUALS : 10 * cursor_row + cursor_column;
}

bool press_cursor() {
    if (!cursor_shown) return false;
    press_key(cursor_key());
    return true;
}

bool hide_cursor() {
    const bool was_shown = cursor_shown;
    cursor_shown = false;
    return was_shown;
}

void draw_input_marks(SDL_Surface* screen) {
    if (screen == nullptr || screen->format->BytesPerPixel != 2) return;
    std::vector<KeyCode> pressed;
    for (const HeldPointer& pointer : held)
        if (pointer.key != NO_KEY && std::find(pressed.begin(), pressed.end(), pointer.key) == pressed.end())
            pressed.push_back(pointer.key);
    if (pressed.empty() && !cursor_shown) return;
    SDL_LockSurface(screen);
    for (KeyCode key : pressed) invert_cell(screen, key_cell(key));
    SDL_UnlockSurface(screen);
    if (cursor_shown) draw_ring(screen, key_cell(cursor_key()));
}

}  // namespace tarno
