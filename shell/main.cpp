// tarno: the calculator program. It takes no arguments and reads no
// configuration; it ends in the console's system menu, or with status 0.
#include "shell_internal.h"

// The GP2X firmware's SDL looks for this symbol in the program itself, so the
// executable defines and exports it; the calculator never uses it.
extern "C" {
int SDL_videofd = 0;
}

int main(int, char**) {
    tarno::keep_standard_streams_open();
    tarno::start_up();
    tarno::run_main_loop();
}
