// The browser page's further entry points: frames only while the
// calculator has something to do, the values kept across starts in the
// page's storage, and for the page's accessible keypad the keys' places
// and the display's texts in words.
//
// Sections: frames; kept values; keys and texts.
#include <emscripten.h>

#include <cstring>
#include <string>

#include "browser_page.h"
#include "display.h"
#include "loop.h"
#include "shell.h"

// --- Frames ---

// The runtime stays while the frames rest: without frames, emscripten
// would take the calculator for ended and end it.
EM_JS(void, hold_runtime, (), { runtimeKeepalivePush(); });
EM_JS(void, release_runtime, (), { runtimeKeepalivePop(); });

// --- Kept values: the page's storage ---

// Copies the stored kept text into out (size bytes, NUL-terminated) and
// returns its length in bytes: -1 when there is none, or storage cannot be
// read, which the console then says.
EM_JS(int, page_read_kept, (char* out, int size), {
    let text = null;
    try {
        text = window.localStorage.getItem('tarno.kept');
    } catch (error) {
        console.warn('The kept values cannot be read: the page may not use its storage (' + error.name + ')');
    }
    if (text === null) return -1;
    stringToUTF8(text, out, size);
    return lengthBytesUTF8(text);
});

// Stores the kept text, once it has changed; a storage that refuses it
// (full, forbidden) is said once on the console, and the calculator goes on.
EM_JS(void, page_write_kept, (const char* text), {
    try {
        window.localStorage.setItem('tarno.kept', UTF8ToString(text));
    } catch (error) {
        if (!Module.tarnoKeptRefused) console.warn('The kept values cannot be stored (' + error.name + ')');
        Module.tarnoKeptRefused = true;
    }
});

// Says on the console why the kept values were left aside.
EM_JS(void, page_not_restored, (const char* why), {
    console.warn('The kept values were not restored: ' + UTF8ToString(why));
});

namespace tarno {

namespace {

char kept[KEPT_STATE_SIZE];  // the kept text last stored, or read at start

// Whether the browser's frame callback is stopped: an idle calculator draws
// nothing and waits for nothing, so the page stays quiet until input comes.
bool resting = false;

}  // namespace

void restore_page_kept() {
    char stored[KEPT_STATE_SIZE];
    const int length = page_read_kept(stored, sizeof stored);
    write_kept_state(read_only_calc_state(), kept);  // what power-on keeps
    if (length < 0) return;
    const char* why = "it is longer than any kept text";
    if (static_cast<std::size_t>(length) < sizeof stored && restore_kept_state(stored, length, &why)) {
        write_kept_state(read_only_calc_state(), kept);
        return;
    }
    page_not_restored(why);
}

void keep_in_page() {
    char now[KEPT_STATE_SIZE];
    write_kept_state(read_only_calc_state(), now);
    if (std::strcmp(now, kept) == 0) return;
    std::memcpy(kept, now, sizeof kept);
    page_write_kept(kept);
}

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
