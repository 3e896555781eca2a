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

// True for a command-line option such as "--trace"; "-1" and "-5,-5" are
// tokens (a key code, a tap left of the screen), not options.
bool looks_like_option(const std::string& arg);

// The tokens of one run, handed out one at a time as they are read, so that
// a run of any length takes no more memory than a short one. A token is
// "CODE" or "X,Y" (decimal integers that fit an int, optionally signed).
class TokenReader {
public:
    // Reads the tokens named in words, all checked here before the first is
    // handed out; or, when words is empty, those on standard input
    // (whitespace-separated), each checked as it is read. tool prefixes the
    // messages.
    TokenReader(const char* tool, std::vector<std::string> words);

    // The next token; false at the end of the tokens, or after a bad token or
    // a read error, which it has then reported in one line on standard error.
    bool next(Token& token);

    // Once next has returned false: 0 when every token was read, 2 after a
    // bad token, 1 after a read error.
    int status() const { return status_; }

    // True when the next token has yet to be read from standard input, which
    // may wait for whoever writes it: the moment to let out what was printed.
    bool input_drained() const { return from_input_ && at_ == end_; }

private:
    bool next_from_input(Token& token);
    bool refill();

    const char* tool_;
    bool from_input_;
    std::vector<Token> words_;  // the arguments' tokens, checked
    std::size_t word_ = 0;      // the next of them to hand out
    std::vector<char> buffer_;  // standard input read and not yet used: [at_, end_)
    std::size_t at_ = 0, end_ = 0;
    bool input_ended_ = false;
    int status_ = 0;
};

// Runs one token through the engine as the calculator would: a key code goes
// to handle_key as it is; a tap is hit-tested, and a tap on no key does nothing.
void run_token(const Token& token);

// The status line for a state, six tab-separated fields: keypad picture,
// parenthesis mark, memory mark, format name, angle unit, number line.
std::string status_line(const CalcState& state);

}  // namespace tarno
