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

// True for a command-line option such as "--trace"; "-1" and "-5,-5" are
// tokens (a key code, a tap left of the screen), not options.
bool looks_like_option(const std::string& arg);

// Parses the tokens named in words, or, when words is empty, those read from
// standard input (whitespace-separated). On a bad token writes one line naming
// it, prefixed by tool, to standard error and returns false.
bool read_tokens(const char* tool, std::vector<std::string> words, std::vector<Token>& tokens);

// Runs one token through the engine as the calculator would: a key code goes
// to handle_key as it is; a tap is hit-tested, and a tap on no key does nothing.
void run_token(const Token& token);

// The status line for a state, six tab-separated fields: keypad picture,
// parenthesis mark, memory mark, format name, angle unit, number line.
std::string status_line(const CalcState& state);

}  // namespace tarno
