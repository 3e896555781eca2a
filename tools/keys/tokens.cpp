#include "tokens.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

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

std::vector<std::string> split_words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
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
