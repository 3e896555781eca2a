// Touches in SDL mode: the newer firmware's touch screen, and a desktop's
// mouse, come as SDL's mouse state, and any of its buttons is the finger.
#include <vector>

#include "sdl_stand_ins.h"
#include "shell_test_support.h"

namespace tarno {
namespace {

using shell_test::mouse_stand_in;

class MouseTouch : public shell_test::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        mouse_stand_in = {};
        mouse_stand_in.active = true;
    }
    void TearDown() override {
        mouse_stand_in = {};
        ShellTest::TearDown();
    }
    static void mouse(Uint8 buttons, int x, int y) {
        mouse_stand_in.buttons = buttons;
        mouse_stand_in.x = x;
        mouse_stand_in.y = y;
    }
};

TEST_F(MouseTouch, AnyButtonPressesAndThePositionIsAlwaysTaken) {
    struct Case {
        const char* what;
        Uint8 buttons;
        bool pressed;
    };
    const std::vector<Case> cases = {
        {"no button", 0, false},
        {"the left button", SDL_BUTTON(SDL_BUTTON_LEFT), true},
        {"the middle button", SDL_BUTTON(SDL_BUTTON_MIDDLE), true},
        {"the right button", SDL_BUTTON(SDL_BUTTON_RIGHT), true},
        {"middle and right together", SDL_BUTTON(SDL_BUTTON_MIDDLE) | SDL_BUTTON(SDL_BUTTON_RIGHT), true},
    };
    int x = 10;
    for (const Case& c : cases) {
        mouse(c.buttons, x, 200 - x);
        EXPECT_EQ(poll_touch(), c.pressed) << c.what;
        EXPECT_EQ(app.touch_x, x) << c.what;
        EXPECT_EQ(app.touch_y, 200 - x) << c.what;
        x += 30;
    }
}

TEST_F(MouseTouch, RightButtonTapsAKey) {
    app.next_accept_ms = shell_test::test_now;
    mouse(SDL_BUTTON(SDL_BUTTON_RIGHT), shell_test::AT_KEY_7.x, shell_test::AT_KEY_7.y);
    EXPECT_TRUE(run_pass());
    EXPECT_EQ(sound.clicks, 1);
    EXPECT_EQ(read_only_calc_state().x_value, 7.0);
}

}  // namespace
}  // namespace tarno
