// tarno-keys built for the browser and run under node, against the native
// tarno-keys: random long chains of keys from power-on (typed numbers, the
// operations, every function of one number in both angle units, every
// number format), every traced line (what the screen shows after each key)
// compared. The browser build takes sin, cos, tan, their inverses and log
// from glibc's own sources (web/libm), as rounded without fused
// multiply-adds; a processor with them may take glibc's variants that use
// them, which round otherwise in a rare last bit. No shown digit may differ.
//
// One difference is the processor's, not the library's: where an operation
// meets two NaNs of different signs, which sign the result takes is up to
// the machine code, and the browser's wasm engine orders the operands of
// + and × otherwise than the native code does, so "nan" and "-nan" may
// change places. It is counted, and allowed where a key combines two numbers
// (and in the rest of that sequence, whose state it has changed).
//
// TARNO_DIFFERENTIAL_SEQUENCES and TARNO_DIFFERENTIAL_SEED choose other runs
// than the fixed one here (bench/web_differential.sh).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "calc.h"
#include "support/files.h"
#include "support/process.h"

namespace {

using namespace tarno;

constexpr unsigned DEFAULT_SEED = 14;
constexpr int DEFAULT_SEQUENCES = 100;
constexpr int ACTIONS_PER_SEQUENCE = 250;

// A run of keys from power-on, and for each whether it combines two numbers
// (an operation's key, =, ), %).
struct Sequence {
    std::vector<std::string> tokens;
    std::vector<bool> combines;
};

// Key sequences drawn from a generator that gives the same numbers on
// every machine, with the Shift presses each key's meaning needs.
class SequenceMaker {
public:
    explicit SequenceMaker(unsigned seed) : random_(seed) {}

    Sequence make() {
        sequence_ = {};
        shifted_ = false;
        for (int i = 0; i < ACTIONS_PER_SEQUENCE; ++i) act();
        return sequence_;
    }

private:
    int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    void press(KeyCode key, bool combines = false) {
        sequence_.tokens.push_back(std::to_string(key));
        sequence_.combines.push_back(combines);
    }

    // key in its normal or its shifted meaning.
    void press_as(KeyCode key, bool shifted, bool combines = false) {
        if (shifted != shifted_) press(KEY_SHIFT);
        shifted_ = shifted;
        press(key, combines);
    }

    void digit() {
        static const KeyCode DIGITS[] = {KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9};
        press(DIGITS[below(10)]);
    }

    // 1 to 6 digits, sometimes a point among them, a sign, an exponent.
    void number() {
        const int digits = 1 + below(6);
        const int point = below(2 * digits);
        for (int i = 0; i < digits; ++i) {
            if (i == point) press(KEY_POINT);
            digit();
        }
        if (below(4) == 0) press(KEY_SIGN);
        if (below(6) != 0) return;
        press(KEY_EXP);
        if (below(2) == 0) press(KEY_SIGN);
        digit();
        if (below(2) == 0) digit();
    }

    void function() {
        // Normal: x², √x, eˣ, ln, 10ˣ, log, n!, 1/x. Shifted: sin, cos,
        // tan, sin⁻¹, cos⁻¹, tan⁻¹, Int, Frac.
        static const KeyCode KEYS[] = {KEY_SQUARE, KEY_SQUARE_ROOT, KEY_EXPONENTIAL, KEY_LN,
                                       KEY_TEN_POWER, KEY_LOG, KEY_FACTORIAL, KEY_RECIPROCAL};
        static const KeyCode SHIFTED_KEYS[] = {KEY_SQUARE, KEY_SQUARE_ROOT, KEY_POWER, KEY_EXPONENTIAL,
                                               KEY_LN, KEY_TEN_POWER, KEY_FACTORIAL, KEY_RECIPROCAL};
        const bool shifted = below(5) < 3;
        press_as(shifted ? SHIFTED_KEYS[below(8)] : KEYS[below(8)], shifted);
    }

    void operation() {
        static const KeyCode KEYS[] = {KEY_ADD, KEY_SUBTRACT, KEY_MULTIPLY, KEY_DIVIDE, KEY_POWER, KEY_ROOT};
        const bool modulo = below(7) == 0;
        press_as(modulo ? KEY_PERCENT : KEYS[below(6)], modulo, true);
        if (below(3) != 0) number();
    }

    void act() {
        const int choice = below(100);
        if (choice < 25) return number();
        if (choice < 60) return function();
        if (choice < 80) return operation();
        if (choice < 86) return press(KEY_EQUALS, true);
        if (choice < 89) return press(KEY_OPEN);
        if (choice < 92) return press(KEY_CLOSE, true);
        if (choice < 94) return press_as(KEY_LOG, true);   // the next number format
        if (choice < 96) return press_as(KEY_ROOT, true);  // degrees, radians
        if (choice < 97) return press_as(KEY_PERCENT, false, true);
        static const KeyCode OTHERS[] = {KEY_PI, KEY_RECALL, KEY_STORE, KEY_ANSWER, KEY_CLEAR};
        const KeyCode key = OTHERS[below(5)];
        press(key);
        shifted_ = shifted_ && key != KEY_CLEAR;  // C leaves the shifted keypad
    }

    std::mt19937 random_;
    Sequence sequence_;
    bool shifted_ = false;
};

int setting(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// tarno-keys started as argv_start, tracing the tokens.
std::unique_ptr<tarno_test::Child> start_trace(std::vector<std::string> argv_start,
                                               const std::vector<std::string>& tokens) {
    argv_start.push_back("--trace");
    argv_start.insert(argv_start.end(), tokens.begin(), tokens.end());
    return std::make_unique<tarno_test::Child>(tarno_test::Command{argv_start});
}

// Its traced lines once it has ended well; none otherwise.
std::vector<std::string> traced_lines(tarno_test::Child& child) {
    const int status = child.wait(120);
    EXPECT_EQ(status, 0) << child.err();
    return status == 0 ? lines_of(child.out()) : std::vector<std::string>{};
}

// line with every NaN shown unsigned.
std::string without_nan_signs(std::string line) {
    for (size_t at = line.find("-nan"); at != std::string::npos; at = line.find("-nan", at)) line.erase(at, 1);
    return line;
}

// The comparison's tally over all sequences.
struct Tally {
    long lines = 0;
    long nan_sign_lines = 0;  // differing in a NaN's sign, where allowed
    int nan_sign_sequences = 0;
    int faulty_sequences = 0;  // with a difference not allowed
    std::string faults;        // the first few of those

    void fault(int sequence, size_t key, const std::string& token, const std::string& native,
               const std::string& web) {
        ++faulty_sequences;
        if (faults.size() < 2000) {
            faults += "\n  sequence " + std::to_string(sequence) + " key " + std::to_string(key) + " (" + token +
                      "): '" + native + "' natively, '" + web + "' under node";
        }
    }

    void compare(int number, const Sequence& sequence, const std::vector<std::string>& native,
                 const std::vector<std::string>& web) {
        if (native.size() != sequence.tokens.size() || web.size() != sequence.tokens.size()) {
            return fault(number, native.size(), "", "a line for every key", std::to_string(web.size()) + " lines");
        }
        bool diverged = false;  // by a NaN's sign, at a key combining two numbers
        for (size_t i = 0; i < native.size(); ++i) {
            ++lines;
            if (native[i] == web[i]) continue;
            const bool sign_only = without_nan_signs(native[i]) == without_nan_signs(web[i]);
            if (!sign_only || !(diverged || sequence.combines[i])) {
                return fault(number, i, sequence.tokens[i], native[i], web[i]);
            }
            nan_sign_sequences += diverged ? 0 : 1;
            diverged = true;
            ++nan_sign_lines;
        }
    }
};

TEST(WebDifferential, RandomKeyChainsShowTheSameTextsUnderNode) {
    if (!tarno_test::file_exists(TARNO_WEB_KEYS_PATH)) GTEST_SKIP() << TARNO_WEB_KEYS_PATH << ": ./setup web builds it";
    const int count = setting("TARNO_DIFFERENTIAL_SEQUENCES", DEFAULT_SEQUENCES);
    SequenceMaker maker(static_cast<unsigned>(setting("TARNO_DIFFERENTIAL_SEED", DEFAULT_SEED)));
    Tally tally;
    // Two sequences at a time under node, whose start-up is most of the cost.
    for (int first = 0; first < count; first += 2) {
        std::vector<Sequence> sequences;
        std::vector<std::unique_ptr<tarno_test::Child>> web;
        for (int s = first; s < count && s < first + 2; ++s) {
            sequences.push_back(maker.make());
            web.push_back(start_trace({"node", TARNO_WEB_KEYS_PATH}, sequences.back().tokens));
        }
        for (size_t k = 0; k < sequences.size(); ++k) {
            const std::vector<std::string> native = traced_lines(*start_trace({TARNO_KEYS_PATH}, sequences[k].tokens));
            tally.compare(first + static_cast<int>(k), sequences[k], native, traced_lines(*web[k]));
        }
    }
    std::printf("%d sequences, %ld lines compared; %ld lines in %d sequences differ in a NaN's sign; %d sequences "
                "differ otherwise\n",
                count, tally.lines, tally.nan_sign_lines, tally.nan_sign_sequences, tally.faulty_sequences);
    EXPECT_EQ(tally.faults, "");
}

}  // namespace
