// The browser page's further entry points: frames only while the
// calculator has something to do, keys pressed by their codes (the page's
// accessible keypad) and the display's texts in words for it.
//
// Sections: frames; keys and texts.
#include <emscripten.h>

#include <string>

#include "browser_page.h"
#include "shell_internal.h"

// --- Frames ---

// The runtime stays while the frames rest: without frames, emscripten
// would take the calculator for ended and end it.
EM_JS(void, hold_runtime, (), { runtimeKeepalivePush(); });
EM_JS(void, release_runtime, (), { runtimeKeepalivePop(); });

namespace tarno {

namespace {

// Whether the browser's frame callback is stopped: an idle calculator draws
// nothing and waits for nothing, so the page stays quiet until input comes.
bool resting = false;

}  // namespace

void after_pass(bool quiet) {
    if (quiet && !resting) {
        resting = true;
        hold_runtime();
        emscripten_pause_main_loop();
    }
}

}  // namespace tarno

extern "C" {

// Starts the frames again: the page calls it for every input event, before
// the event's own handler hands the input in.
EMSCRIPTEN_KEEPALIVE void tarno_wake() {
    if (!tarno::resting) return;
    tarno::resting = false;
    emscripten_resume_main_loop();
    release_runtime();
}

// --- Keys and texts ---

// The key under the upright calculator's pixel (x, y), or 0.
EMSCRIPTEN_KEEPALIVE int tarno_key_at(int x, int y) { return tarno::key_at(y, tarno::SCREEN_HEIGHT - 1 - x); }

// Presses key as a tap on it does: the click, the key, the new screen.
EMSCRIPTEN_KEEPALIVE void tarno_press_key(int key) {
    tarno::press_key(key);
    tarno::after_pass(false);
    tarno_wake();  // Off ends the calculator at the next pass
}

// Whether the shifted meanings are the keys' own now.
EMSCRIPTEN_KEEPALIVE int tarno_shift_active() { return tarno::read_only_calc_state().shift_active; }

// The display as words: the number line, then the marks shown (open
// parentheses, memory, format, angle unit), separated by blanks.
EMSCRIPTEN_KEEPALIVE const char* tarno_display_text() {
    static std::string text;
    const tarno::ScreenTexts texts = tarno::screen_texts(tarno::read_only_calc_state());
    text = texts.number_line;
    for (const char* mark : {static_cast<const char*>(texts.paren_mark), texts.memory_mark,
                             static_cast<const char*>(texts.format_name), texts.angle_unit}) {
        if (mark[0] != '\0' && mark[0] != ' ') text += std::string(" ") + mark;
    }
    return text.c_str();
}

}  // extern "C"
