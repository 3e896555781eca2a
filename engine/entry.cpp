// Number entry and the display text.
//
// display_text holds the mantissa field in bytes 0..16 (at most 16
// characters and a zero; while typing, exactly 16, right-aligned) and the
// exponent field in bytes 17..21 (sign, two digits and a zero while typing;
// the exponent of a Sci result, up to four characters, otherwise). The sign
// of the mantissa lives apart in sign_char.
//
// Sections: the fields — typing (clear_display, enter_digit, backspace,
// toggle_sign) — reading the text back (parse_display) — formatting a value
// (format_value, format_scientific).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine_internal.h"

namespace tarno {

namespace {

// Any double's text, even the fixed conversion of the largest one (over 300
// characters), fits here before the part that fits the field is copied.
constexpr std::size_t WORK_SIZE = 512;

// The places of a typed number in display_text.
constexpr std::size_t LAST_TYPED = MANTISSA_CHARS - 1;  // typing fills the mantissa from here leftwards
constexpr std::size_t EXPONENT_SIGN = EXPONENT_FIELD;   // ' ' or '-'
constexpr std::size_t EXPONENT_TENS = EXPONENT_FIELD + 1;
constexpr std::size_t EXPONENT_UNITS = EXPONENT_FIELD + 2;
constexpr std::size_t EXPONENT_END = EXPONENT_FIELD + 3;  // the typed exponent's terminating zero
// "%18le" pads every double's text to 18 characters: the longest, such as
// "-1.797693e+308", has 14.
constexpr std::size_t SCIENTIFIC_CHARS = 18;

char* text() { return writable_calc_state().display_text; }

std::size_t mantissa_length(const char* t) { return strnlen(t, MANTISSA_CHARS); }

void blank_exponent(char* t) {
    t[EXPONENT_SIGN] = ' ';
    t[EXPONENT_TENS] = ' ';
    t[EXPONENT_UNITS] = ' ';
    t[EXPONENT_END] = '\0';
}

// Moves the typed characters one place left to make room at LAST_TYPED.
void shift_left(char* t) {
    std::memmove(t, t + 1, MANTISSA_CHARS - 1);
}

// Writes a formatted mantissa text from byte 0. A text too long for the
// field loses leading blanks first (they carry no meaning), then is cut.
void write_mantissa(const char* s) {
    std::size_t n = std::strlen(s);
    while (n > MANTISSA_CHARS && *s == ' ') {
        ++s;
        --n;
    }
    if (n > MANTISSA_CHARS) n = MANTISSA_CHARS;
    std::memcpy(text(), s, n);
    text()[n] = '\0';
}

}  // namespace

bool exponent_field_blank(const CalcState& state) {
    const char* e = state.display_text + EXPONENT_FIELD;
    return e[0] == ' ' && e[1] == ' ' && e[2] == ' ' && e[3] == '\0';
}

void clear_display() {
    CalcState& s = writable_calc_state();
    s.sign_char = ' ';
    s.exponent_entry = 0;
    char* t = text();
    std::memset(t, ' ', MANTISSA_CHARS);
    t[LAST_TYPED] = '0';
    t[MANTISSA_CHARS] = '\0';
    blank_exponent(t);
}

void enter_digit(int code) {
    if (code < 0 || code > DIGIT_POINT) return;
    char* t = text();
    if (writable_calc_state().exponent_entry) {
        // The exponent keeps the last two digits typed; it has no point.
        if (code != DIGIT_POINT) {
            const char d = static_cast<char>('0' + code);
            if (t[EXPONENT_TENS] == ' ') {
                t[EXPONENT_TENS] = d;
            } else if (t[EXPONENT_UNITS] == ' ') {
                t[EXPONENT_UNITS] = d;
            } else {
                t[EXPONENT_TENS] = t[EXPONENT_UNITS];
                t[EXPONENT_UNITS] = d;
            }
        }
        parse_display();
        return;
    }
    if (t[0] != ' ') return;  // 16 characters: the field is full
    if (code == DIGIT_POINT) {
        if (std::memchr(t, '.', mantissa_length(t))) return;  // one point only
        shift_left(t);
        t[LAST_TYPED] = '.';
    } else if (t[LAST_TYPED - 1] == ' ' && t[LAST_TYPED] == '0') {
        t[LAST_TYPED] = static_cast<char>('0' + code);  // replaces the lone zero
    } else {
        shift_left(t);
        t[LAST_TYPED] = static_cast<char>('0' + code);
    }
    parse_display();
}

void backspace() {
    const CalcState& s = writable_calc_state();
    if (!s.entry_active) return;
    if (s.exponent_entry) {  // exponent digits cannot be taken back
        parse_display();
        return;
    }
    char* t = text();
    const std::size_t n = mantissa_length(t);
    if (n == 0) return;
    std::memmove(t + 1, t, n - 1);
    t[0] = ' ';
    if (t[n - 1] == ' ') t[n - 1] = '0';  // the last digit went: the lone zero
    parse_display();
}

void toggle_sign() {
    CalcState& s = writable_calc_state();
    if (s.exponent_entry) {
        char& e = s.display_text[EXPONENT_FIELD];
        e = (e == '-') ? ' ' : '-';
    } else {
        s.sign_char = (s.sign_char == '-') ? ' ' : '-';
    }
    parse_display();
}

void parse_display() {
    CalcState& s = writable_calc_state();
    const char* t = s.display_text;
    char work[40];
    std::size_t n = mantissa_length(t);
    std::memcpy(work, t, n);
    if (!exponent_field_blank(s)) {
        work[n++] = 'e';
        std::size_t i = EXPONENT_FIELD;
        while (i < DISPLAY_TEXT_SIZE && t[i] == ' ') ++i;
        while (i < DISPLAY_TEXT_SIZE && t[i] != '\0') work[n++] = t[i++];
    }
    work[n] = '\0';
    // strtod skips the leading blanks and stops where the number stops: an
    // "e" with no digit after it is no part of the number.
    double v = std::strtod(work, nullptr);
    if (s.sign_char != ' ') v = -v;  // the sign bit flips: 0 becomes -0
    s.x_value = v;
}

void format_scientific(double value, char* work) {
    std::snprintf(work, SCIENTIFIC_CHARS + 1, "%18le", value);
    char* e = std::strchr(work, 'e');
    if (!e) return;  // infinity or NaN: the exponent field stays blank
    *e = '\0';
    std::strncpy(text() + EXPONENT_FIELD, e + 1, DISPLAY_TEXT_SIZE - EXPONENT_FIELD);
    text()[DISPLAY_TEXT_SIZE - 1] = '\0';
}

void format_value() {
    CalcState& s = writable_calc_state();
    double v = s.x_value;
    blank_exponent(s.display_text);
    s.sign_char = ' ';
    if (v < 0) {  // ordered: NaN and -0 are not below zero
        s.sign_char = '-';
        v = -v;
    }
    char work[WORK_SIZE];
    if (s.display_format >= 0) {
        const int n = std::snprintf(work, sizeof work, "%.*lf", s.display_format, v);
        if (n > static_cast<int>(MANTISSA_CHARS)) format_scientific(v, work);
    } else if (s.display_format == FORMAT_NORM) {
        const int n = std::snprintf(work, sizeof work, "%16lf", v);
        if (n > static_cast<int>(MANTISSA_CHARS)) {
            format_scientific(v, work);  // 1e9 and above do not fit in Norm
        } else {
            std::size_t len = static_cast<std::size_t>(n);
            while (len > 1 && work[len - 1] == '0') --len;
            if (len > 0 && work[len - 1] == '.') --len;
            work[len] = '\0';
        }
    } else {
        format_scientific(v, work);
    }
    write_mantissa(work);
}

}  // namespace tarno
