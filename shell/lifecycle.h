// Bringing the calculator up and taking it down again.
#pragma once

#include <cstdint>

namespace tarno {

constexpr std::uint32_t LAST_CLICK_WAIT_MS = 1000;  // the shutdown waits no longer for the last click

// The console's system menu, which the handheld's program hands over to.
constexpr const char* MENU_DIRECTORY = "/usr/gp2x";
constexpr const char* MENU_PROGRAM = "/usr/gp2x/gp2xmenu";

// Brings up the backend's screen, the fonts, the sound and the calculator;
// draws the first screen. Ends the program with status 1 when there is no
// screen to draw on.
void start_up();

// Takes everything down and hands the console to the system menu.
[[noreturn]] void shut_down();

// Lets the main loop's last click play to its end, for at most LAST_CLICK_WAIT_MS.
void wait_for_last_click();

// Changes to directory and executes program in this process's place; when
// that fails, ends the process with status 0.
[[noreturn]] void hand_over_to_menu(const char* directory, const char* program);

}  // namespace tarno
