// The kept values across a switch-off: the text they are kept in, and what
// a text that was not written by the calculator gets.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "engine_fixture.h"

namespace tarno {
namespace {

class KeptState : public Engine {
protected:
    static std::string kept() {
        char text[KEPT_STATE_SIZE];
        write_kept_state(state(), text);
        return text;
    }
    static bool restore(const std::string& text, const char** why) {
        return restore_kept_state(text.data(), text.size(), why);
    }
};

TEST_F(KeptState, PowerOnKeepsZerosRadiansAndNorm) {
    EXPECT_EQ(kept(), "tarno-state 1\nmemory 0\nanswer 0\nangle rad\nformat norm\n");
}

TEST_F(KeptState, ValuesComeBackExactlyAfterAStart) {
    // 1 ÷ 3 = into Ans and memory, Deg, FMT to fix2: Norm → Sci → fix0 → fix1 → fix2.
    press({KEY_1, KEY_DIVIDE, KEY_3, KEY_EQUALS, KEY_STORE, KEY_SHIFT, KEY_ROOT});
    for (int i = 0; i < 4; ++i) press({KEY_LOG});
    const std::string text = kept();
    EXPECT_NE(text.find("angle deg\nformat fix2\n"), std::string::npos) << text;
    power_on();
    const char* why = nullptr;
    ASSERT_TRUE(restore(text, &why)) << why;
    EXPECT_EQ(state().memory_value, 1.0 / 3.0);
    EXPECT_EQ(state().last_answer, 1.0 / 3.0);
    EXPECT_EQ(state().degree_mode, 1);
    EXPECT_EQ(state().display_format, 2);
    EXPECT_EQ(number_line(), " 0.00");  // the zero shown in the kept format
}

TEST_F(KeptState, AnErrorInTheMemoryIsKeptAsZero) {
    press({KEY_1, KEY_DIVIDE, KEY_0, KEY_EQUALS, KEY_STORE});  // 1 ÷ 0 = is an infinity
    ASSERT_TRUE(std::isinf(state().memory_value));
    EXPECT_EQ(kept(), "tarno-state 1\nmemory 0\nanswer 0\nangle rad\nformat norm\n");
}

TEST_F(KeptState, LinesEndingInCrLfAreRead) {
    const char* why = nullptr;
    ASSERT_TRUE(restore("tarno-state 1\r\nmemory -2.5e-7\r\nanswer 42\r\nangle deg\r\nformat sci\r\n", &why)) << why;
    EXPECT_EQ(state().memory_value, -2.5e-7);
    EXPECT_EQ(state().last_answer, 42.0);
    EXPECT_EQ(state().display_format, FORMAT_SCI);
}

TEST_F(KeptState, ATextTheCalculatorDidNotWriteChangesNothing) {
    const std::string good = "tarno-state 1\nmemory 1\nanswer 2\nangle deg\nformat fix3\n";
    const struct {
        std::string text;
        const char* why_begins;
    } cases[] = {
        {"", "it is not a state"},
        {std::string("\0\1\2\3", 4), "it is not a state"},
        {"tarno-state 2\nmemory 1\nanswer 2\nangle deg\nformat fix3\n", "it is of a version"},
        {"tarno-state 10\nmemory 1\nanswer 2\nangle deg\nformat fix3\n", "it is of a version"},
        {good.substr(0, good.size() - 1), "its format"},  // cut before its last line end
        {good.substr(0, 20), "its memory"},
        {"tarno-state 1\nmemory nan\nanswer 2\nangle deg\nformat fix3\n", "its memory"},
        {"tarno-state 1\nmemory inf\nanswer 2\nangle deg\nformat fix3\n", "its memory"},
        {"tarno-state 1\nmemory 1e999\nanswer 2\nangle deg\nformat fix3\n", "its memory"},
        {"tarno-state 1\nmemory 0x10\nanswer 2\nangle deg\nformat fix3\n", "its memory"},
        {"tarno-state 1\nmemory  1\nanswer 2\nangle deg\nformat fix3\n", "its memory"},
        {"tarno-state 1\nmemory 1\nanswer -\nangle deg\nformat fix3\n", "its Ans"},
        {"tarno-state 1\nmemory 1\nanswer 2\nangle 7\nformat fix3\n", "its angle unit"},
        {"tarno-state 1\nmemory 1\nanswer 2\nangle deg\nformat 99\n", "its format"},
        {"tarno-state 1\nmemory 1\nanswer 2\nangle deg\nformat fix10\n", "its format"},
        {good + "more\n", "it goes on"},
        {good + std::string(200, 'x'), "it is longer"},
    };
    for (const auto& c : cases) {
        power_on();
        press({KEY_5, KEY_STORE});
        const char* why = nullptr;
        EXPECT_FALSE(restore(c.text, &why)) << c.text;
        ASSERT_NE(why, nullptr);
        EXPECT_EQ(std::string(why).rfind(c.why_begins, 0), 0u) << c.text << ": " << why;
        EXPECT_EQ(state().memory_value, 5.0) << c.text;
        EXPECT_EQ(state().degree_mode, 0) << c.text;
        EXPECT_EQ(state().display_format, FORMAT_NORM) << c.text;
    }
}

}  // namespace
}  // namespace tarno
