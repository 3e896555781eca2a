#include "tokens.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "shell.h"

namespace tarno {

namespace {

// A whole decimal integer that fits an int: an optional sign, then digits.
bool parse_int(const std::string& text, int& value) {
    const std::size_t digits = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (text.size() == digits) return false;
    for (std::size_t i = digits; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    errno = 0;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

bool parse_token(const std::string& text, Token& token) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        token.is_tap = false;
        return parse_int(text, token.code);
    }
    token.is_tap = true;
    return parse_int(text.substr(0, comma), token.x) && parse_int(text.substr(comma + 1), token.y);
}

bool looks_like_option(const std::string& arg) {
    return arg.size() >= 2 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

bool read_tokens(const char* tool, std::vector<std::string> words, std::vector<Token>& tokens) {
    if (words.empty()) {
        std::string word;
        while (std::cin >> word) words.push_back(word);
    }
    tokens.resize(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!parse_token(words[i], tokens[i])) {
            std::fprintf(stderr, "%s: '%s' is neither a key code nor a tap X,Y\n", tool,
                         shown_argument(words[i]).c_str());
            return false;
        }
    }
    return true;
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
