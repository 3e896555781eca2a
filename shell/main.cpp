// tarno: the calculator program. Without options it is the handheld's
// program, which reads no configuration and ends in the console's system
// menu, or with status 0; --desktop shows it upright in a window.
#include <cstdio>

#include "backend.h"
#include "desktop.h"
#include "lifecycle.h"
#include "loop.h"
#include "options.h"

// The GP2X firmware's SDL looks for this symbol in the program itself, so the
// executable defines and exports it; the calculator never uses it.
extern "C" {
int SDL_videofd = 0;
}

int main(int argc, char** argv) {
    tarno::keep_standard_streams_open();
    tarno::Options options;
    if (!tarno::read_options(argc, argv, options)) return 2;
    if (options.help) {
        std::fputs(tarno::help_text().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("tarno " TARNO_VERSION);
        return 0;
    }
    tarno::platform.sound = options.desktop ? &tarno::quiet_sound() : &tarno::mixer_sound();
    // Alive until the program ends, as the backend must be.
    static const std::unique_ptr<tarno::Backend> desktop =
        options.desktop ? tarno::make_desktop_backend(options.scale) : nullptr;
    tarno::platform.backend = desktop ? desktop.get() : &tarno::handheld_backend();
    tarno::start_up();
    tarno::run_main_loop();
}
