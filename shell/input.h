// The user's input as the shell sees it, whichever backend reported it:
// pointers going down, moving, up or cancelled, each by its own id; keys
// typed through the keyboard table; text pasted; the key cursor moved and
// pressed. Pointers here are the desktop's and the browser's: a key shows
// pressed while held and acts when its own pointer is released over it.
// (The handheld's touch keeps its polled presses, handle_press in loop.h.)
#pragma once

#include <string>

#include "SDL.h"
#include "calc.h"
#include "keyboard.h"

namespace tarno {

// One input event of the shell's own.
struct InputEvent {
    enum Kind { POINTER_DOWN, POINTER_MOVE, POINTER_UP, POINTER_CANCEL, TYPED, PASTE } kind;
    int pointer = 0;     // which mouse, finger or pen (POINTER_*); ALL_POINTERS cancels every one
    int x = 0, y = 0;    // where, in landscape screen pixels (POINTER_DOWN, _MOVE, _UP)
    TypedAction typed{TypedAction::NOTHING, NO_KEY};  // TYPED
    std::string text;    // PASTE
};

constexpr int ALL_POINTERS = -1;

// A pointer's event: kind (POINTER_*), which pointer, where.
InputEvent pointer_input(InputEvent::Kind kind, int pointer, int x = 0, int y = 0);

// No more pointers than this are followed at once; more go unnoticed.
constexpr int MAX_POINTERS = 16;

// Acts on one input event: a pointer's press and release, a typed key, a paste.
void handle_input(const InputEvent& event);

// The key that pointer holds pressed now, or NO_KEY (none, or it left its key).
KeyCode pointer_key(int pointer);

// Forgets every pointer and hides the key cursor, drawing nothing (a fresh start).
void reset_input();

// A typed key's action carried out: the key pressed in the meaning typed
// (Shift pressed first when the calculator is in the other shift state), a
// minus right after EXP the exponent's sign, the number copied, a paste
// asked of the backend, the key cursor moved or pressed.
void act_typed(const TypedAction& action);

// Why text would be refused as a paste ("" when it is taken): characters
// other than those of numbers and arithmetic, a second point or more than
// MAX_PASTED_DIGITS digits in one number, more than MAX_PASTED_CHARACTERS.
constexpr std::size_t MAX_PASTED_CHARACTERS = 64;
constexpr int MAX_PASTED_DIGITS = 16;
std::string paste_refusal(const std::string& text);

// Types text as if typed, key by key, unless paste_refusal refuses it;
// then nothing is pressed. A minus where a number begins is the ± key,
// pressed once the number's mantissa is in.
void paste_text(const std::string& text);

// The key cursor: shown at its key by the first move, moved over the
// keypad's 8 x 5 keys (wrapping), hidden by the next pointer press.
enum class CursorMove { UP, DOWN, LEFT, RIGHT };
void move_cursor(CursorMove move);
// Presses the key under the cursor, when it is shown; false when it is not.
bool press_cursor();
// The key under the cursor, or NO_KEY while it is hidden.
KeyCode cursor_key();
// Hides the cursor; true when it was shown.
bool hide_cursor();

// Draws over the composed screen what input shows: every held key's cell
// inverted, the cursor's ring.
void draw_input_marks(SDL_Surface* screen);

}  // namespace tarno
