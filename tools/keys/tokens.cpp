#include "tokens.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "shell.h"

namespace tarno {

namespace {

// The first bytes of a token that a message needs: one more than
// shown_argument shows, so that it knows to mark the cut.
constexpr std::size_t KEPT_BYTES = 41;
// A magnitude beyond every int's: where a number's digits stop counting.
constexpr long long BEYOND_INT = INT_MAX + 2LL;
constexpr std::size_t READ_BYTES = 65536;

// A token's text taken in byte by byte: the numbers it spells so far and its
// first bytes, so that a token of any length (a million leading zeros) takes
// no more room than a short one.
class TokenText {
public:
    void add(char byte);
    bool empty() const { return kept_.empty(); }
    // The token it spells; false when it is neither "CODE" nor "X,Y".
    bool token(Token& token) const;
    // Writes the line that names it as a bad token.
    void report_bad(const char* tool) const;

private:
    // A decimal integer: an optional sign, then digits.
    struct Number {
        bool started = false;  // a sign or a digit has come
        bool negative = false;
        bool digits = false;
        long long magnitude = 0;  // at most BEYOND_INT
    };
    static bool value(const Number& number, int& value);

    Number numbers_[2];  // the code or X; Y after the comma
    int number_ = 0;
    bool malformed_ = false;
    std::string kept_;
};

void TokenText::add(char byte) {
    if (kept_.size() < KEPT_BYTES) kept_ += byte;
    Number& n = numbers_[number_];
    if (byte >= '0' && byte <= '9') {
        n.digits = true;
        n.magnitude = std::min(n.magnitude * 10 + (byte - '0'), BEYOND_INT);
    } else if ((byte == '-' || byte == '+') && !n.started) {
        n.negative = byte == '-';
    } else if (byte == ',' && number_ == 0) {
        number_ = 1;
        return;
    } else {
        malformed_ = true;
    }
    n.started = true;
}

bool TokenText::value(const Number& number, int& value) {
    const long long signed_value = number.negative ? -number.magnitude : number.magnitude;
    if (!number.digits || signed_value < INT_MIN || signed_value > INT_MAX) return false;
    value = static_cast<int>(signed_value);
    return true;
}

bool TokenText::token(Token& token) const {
    if (malformed_) return false;
    token.is_tap = number_ == 1;
    if (!token.is_tap) return value(numbers_[0], token.code);
    return value(numbers_[0], token.x) && value(numbers_[1], token.y);
}

void TokenText::report_bad(const char* tool) const {
    std::fprintf(stderr, "%s: '%s' is neither a key code nor a tap X,Y\n", tool, shown_argument(kept_).c_str());
}

// The blanks between tokens, as a shell's word splitting and C's isspace see them.
bool is_blank(char byte) { return std::isspace(static_cast<unsigned char>(byte)) != 0; }

}  // namespace

bool looks_like_option(const std::string& arg) {
    return arg.size() >= 2 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

TokenReader::TokenReader(const char* tool, std::vector<std::string> words)
    : tool_(tool), from_input_(words.empty()) {
    if (from_input_) buffer_.resize(READ_BYTES);
    for (const std::string& word : words) {
        TokenText text;
        for (char byte : word) text.add(byte);
        Token token;
        if (!text.token(token)) {
            text.report_bad(tool_);
            status_ = 2;
            return;
        }
        words_.push_back(token);
    }
}

bool TokenReader::next(Token& token) {
    if (status_ != 0) return false;
    if (from_input_) return next_from_input(token);
    if (word_ == words_.size()) return false;
    token = words_[word_++];
    return true;
}

bool TokenReader::next_from_input(Token& token) {
    TokenText text;
    while (at_ < end_ || refill()) {
        const char byte = buffer_[at_++];
        if (!is_blank(byte)) {
            text.add(byte);
        } else if (!text.empty()) {
            break;
        }
    }
    // The blanks after it too, so that an empty buffer means the next token
    // waits for input (see input_drained).
    while (at_ < end_ && is_blank(buffer_[at_])) ++at_;
    if (status_ != 0 || text.empty()) return false;
    if (text.token(token)) return true;
    text.report_bad(tool_);
    status_ = 2;
    return false;
}

// Reads the next stretch of standard input into the buffer; false at its
// end, or after reporting a read error (a directory given as the input, a
// failing disk), which no reader should take for the end of the tokens.
bool TokenReader::refill() {
    if (input_ended_) return false;
    ssize_t got;
    do {
        got = read(STDIN_FILENO, buffer_.data(), buffer_.size());
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        std::fprintf(stderr, "%s: couldn't read standard input: %s\n", tool_, std::strerror(errno));
        status_ = 1;
    }
    input_ended_ = got <= 0;
    at_ = 0;
    end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    return got > 0;
}

void run_token(const Token& token) {
    const KeyCode key = token.is_tap ? key_at(token.x, token.y) : token.code;
    if (token.is_tap && key == 0) return;
    handle_key(key);
}

std::string status_line(const CalcState& state) {
    const ScreenTexts t = screen_texts(state);
    std::string line;
    for (const char* field : {t.keypad_picture, t.paren_mark, t.memory_mark, t.format_name, t.angle_unit}) {
        line += field;
        line += '\t';
    }
    line += t.number_line;
    return line;
}

}  // namespace tarno
