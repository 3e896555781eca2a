// SDL's events: the quit triggers and the GP2X's volume buttons.
#include <vector>

#include "shell_test_support.h"

namespace tarno {
namespace {

using shell_test::ShellTest;
using VolumeButtons = ShellTest;
using Events = ShellTest;

SDL_Event key_down(SDLKey key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event key_up(SDLKey key) {
    SDL_Event event = key_down(key);
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    return event;
}

SDL_Event button(Uint8 type, Uint8 number, Uint8 joystick = 0) {
    SDL_Event event{};
    event.type = type;
    event.jbutton.which = joystick;
    event.jbutton.button = number;
    event.jbutton.state = type == SDL_JOYBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    return event;
}

SDL_Event of_type(Uint8 type) {
    SDL_Event event{};
    event.type = type;
    return event;
}

TEST_F(VolumeButtons, UpStepsBy16To128AndClicks) {
    const std::vector<std::pair<int, int>> steps = {{0, 16}, {100, 116}, {112, 128}, {120, 128}, {128, 128}};
    for (const auto& [before, after] : steps) {
        sound.current_volume = before;
        const int clicks = sound.clicks;
        handle_event(button(SDL_JOYBUTTONDOWN, 16));
        EXPECT_EQ(sound.current_volume, after) << "from " << before;
        EXPECT_EQ(sound.clicks, clicks + 1) << "the click plays at the limit too";
    }
    EXPECT_EQ(sound.volumes_set.size(), steps.size());
    EXPECT_EQ(app.last_click_channel, -1) << "a volume click is not the main loop's click";
    EXPECT_EQ(app.quit_requested, 0);
}

TEST_F(VolumeButtons, DownStepsBy16To0AndClicks) {
    const std::vector<std::pair<int, int>> steps = {{128, 112}, {100, 84}, {16, 0}, {10, 0}, {0, 0}};
    for (const auto& [before, after] : steps) {
        sound.current_volume = before;
        const int clicks = sound.clicks;
        handle_event(button(SDL_JOYBUTTONDOWN, 17));
        EXPECT_EQ(sound.current_volume, after) << "from " << before;
        EXPECT_EQ(sound.clicks, clicks + 1);
    }
    EXPECT_EQ(app.last_click_channel, -1);
}

TEST_F(VolumeButtons, FailedClickIsSilent) {
    sound.click_channel = -1;
    EXPECT_EQ(tarno_test::stderr_of([] {
                  handle_event(button(SDL_JOYBUTTONDOWN, 16));
                  handle_event(button(SDL_JOYBUTTONDOWN, 17));
              }),
              "");
    EXPECT_EQ(sound.clicks, 2);
    EXPECT_EQ(app.last_click_channel, -1);
}

TEST_F(Events, QuitTriggers) {
    const std::vector<std::pair<const char*, SDL_Event>> triggers = {
        {"a letter key", key_down(SDLK_a)},
        {"Escape", key_down(SDLK_ESCAPE)},
        {"a modifier key", key_down(SDLK_LSHIFT)},
        {"the window's close request", of_type(SDL_QUIT)},
        {"Start", button(SDL_JOYBUTTONDOWN, 8)},
        {"Start on another joystick", button(SDL_JOYBUTTONDOWN, 8, 1)},
    };
    for (const auto& [name, event] : triggers) {
        app.quit_requested = 0;
        handle_event(event);
        EXPECT_EQ(app.quit_requested, 1) << name;
    }
    EXPECT_EQ(sound.clicks, 0);
}

TEST_F(Events, AQuitRequestQueuedBeforeTheWindowEventsAreLetThroughIsKept) {
    SDL_Event quit = of_type(SDL_QUIT);
    ASSERT_EQ(SDL_PushEvent(&quit), 0);
    enable_window_events();
    SDL_Event kept{};
    EXPECT_EQ(SDL_PollEvent(&kept), 1);
    EXPECT_EQ(kept.type, SDL_QUIT);
    EXPECT_EQ(SDL_EventState(SDL_SYSWMEVENT, SDL_QUERY), SDL_ENABLE);
    SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
}

TEST_F(Events, OthersDoNothing) {
    const std::vector<std::pair<const char*, SDL_Event>> others = {
        {"a key's release", key_up(SDLK_a)},
        {"Start's release", button(SDL_JOYBUTTONUP, 8)},
        {"volume up's release", button(SDL_JOYBUTTONUP, 16)},
        {"volume down's release", button(SDL_JOYBUTTONUP, 17)},
        {"button 1, the d-pad's slant", button(SDL_JOYBUTTONDOWN, 1)},
        {"button 7", button(SDL_JOYBUTTONDOWN, 7)},
        {"button 18, the stick's click, with no key cursor shown", button(SDL_JOYBUTTONDOWN, 18)},
        {"button 9", button(SDL_JOYBUTTONDOWN, 9)},
        {"button 15", button(SDL_JOYBUTTONDOWN, 15)},
        {"a mouse button", of_type(SDL_MOUSEBUTTONDOWN)},
        {"a mouse motion", of_type(SDL_MOUSEMOTION)},
        {"focus", of_type(SDL_ACTIVEEVENT)},
    };
    for (const auto& [name, event] : others) {
        handle_event(event);
        EXPECT_EQ(app.quit_requested, 0) << name;
    }
    EXPECT_EQ(sound.clicks, 0);
    EXPECT_TRUE(sound.volumes_set.empty());
}

}  // namespace
}  // namespace tarno
