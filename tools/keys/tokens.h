// The companion tools' input: key codes and taps, as tarno-keys and
// tarno-shot take them from their arguments or standard input.
#pragma once

#include <string>
#include <vector>

#include "calc.h"

namespace tarno {

// One token: a key code, or a tap at a screen position.
struct Token {
    bool is_tap;
    KeyCode code;  // the key code (is_tap false)
    int x, y;      // the tap position (is_tap true)
};

// Reads "CODE" or "X,Y" (decimal integers, optionally signed); false when
// the text is neither form.
bool parse_token(const std::string& text, Token& token);

// Whitespace-separated words of a whole stream's text.
std::vector<std::string> split_words(const std::string& text);

// Runs one token through the engine as the calculator would: a key code goes
// to handle_key as it is; a tap is hit-tested, and a tap on no key does nothing.
void run_token(const Token& token);

// The status line for a state, six tab-separated fields: keypad picture,
// parenthesis mark, memory mark, format name, angle unit, number line.
std::string status_line(const CalcState& state);

}  // namespace tarno
