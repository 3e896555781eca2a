// Bringing the calculator up and taking it down again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarno {

constexpr std::uint32_t LAST_CLICK_WAIT_MS = 1000;  // the shutdown waits no longer for the last click

// The console's system menu, which the handheld's program hands over to.
constexpr const char* MENU_DIRECTORY = "/usr/gp2x";
constexpr const char* MENU_PROGRAM = "/usr/gp2x/gp2xmenu";

// Brings up the backend's screen, the fonts, the sound and the calculator;
// draws the first screen. Ends the program with status 1 when there is no
// screen to draw on.
void start_up();

// Takes everything down, then ends as the backend ends (the handheld's in the system menu).
[[noreturn]] void shut_down();

// Lets the main loop's last click play to its end, for at most LAST_CLICK_WAIT_MS.
void wait_for_last_click();

// Changes to directory and executes program in this process's place; when
// that fails, ends the process with status 0.
[[noreturn]] void hand_over_to_menu(const char* directory, const char* program);

// Where a desktop's calculator finds its data files when they are not below
// the working folder: tarno/ beside the folder holding the program (a
// build's program in build/ finds the checkout's tarno/), then the
// installed data folder's.
constexpr const char* INSTALLED_DATA_FOLDER = "/usr/share/tarno";

// The folders, in order, whose tarno/ may hold the data files: the working
// folder, the parent of the folder holding the program at program_path
// (left out when it cannot be told), then installed.
std::vector<std::string> data_folders(const std::string& working, const std::string& program_path,
                                      const std::string& installed);

// Makes the first of data_folders whose tarno/ holds any of the data files
// the working folder; when none does, stays and writes one line naming
// every tarno/ looked in.
void go_to_data_folder();

}  // namespace tarno
