// The desktop's backend: the calculator upright in a window, as the user of
// the handheld sees it, every pixel a whole square of screen pixels; the
// mouse's left button for the finger, event by event (a key shows pressed
// while held and acts when released over it), the middle button pasting
// X's PRIMARY selection, and the keyboard for the keys. The screen is
// composed exactly as on the handheld, on a surface of the handheld's size,
// and then turned into the window.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backend.h"
#include "desktop.h"
#include "input.h"
#include "lifecycle.h"
#include "loop.h"
#include "native_idle.h"
#include "x_display.h"

namespace tarno {

namespace {

constexpr const char* WINDOW_TITLE = "tarno";
// The window's class, WM_CLASS, by which taskbars match the running window
// to the desktop entry (its StartupWMClass) and so to its icon. SDL would
// take the program file's name, which a launcher or a rename can change.
constexpr const char* WINDOW_CLASS = "tarno";
constexpr const char* ICON_FILE = "tarno/icon.bmp";
constexpr int ICON_SIZE = 32;

// The window takes at most 90 % of the screen's height and width by default.
constexpr int SCREEN_SHARE_PERCENT = 90;

// The mouse is the desktop's one pointer.
constexpr int MOUSE_POINTER = 0;

constexpr const char* NEEDS_A_DISPLAY =
    "tarno: --desktop needs an X display for its window; without one, start a virtual one:"
    " Xvfb :1 -noreset -screen 0 1024x768x24 & DISPLAY=:1 tarno --desktop\n";

bool same_pixels(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BitsPerPixel == b->BitsPerPixel && a->Rmask == b->Rmask && a->Gmask == b->Gmask &&
           a->Bmask == b->Bmask;
}

// The window's icon for taskbars, as set_taskbar_icon takes it.
std::vector<std::uint32_t> taskbar_icon;

// The icon's pixels as 0xAARRGGBB after its width and height, key colour transparent.
std::vector<std::uint32_t> argb_pixels(SDL_Surface* icon, Uint32 key) {
    std::vector<std::uint32_t> pixels{static_cast<std::uint32_t>(icon->w), static_cast<std::uint32_t>(icon->h)};
    SDL_LockSurface(icon);
    const int bytes = icon->format->BytesPerPixel;
    for (int y = 0; y < icon->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(icon->pixels) + y * icon->pitch;
        for (int x = 0; x < icon->w; ++x) {
            Uint32 pixel = 0;
            std::memcpy(&pixel, row + x * bytes, bytes);  // little-endian, as the BMP's pixels are
            Uint8 r, g, b;
            SDL_GetRGB(pixel, icon->format, &r, &g, &b);
            pixels.push_back(pixel == key ? 0 : 0xffu << 24 | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b);
        }
    }
    SDL_UnlockSurface(icon);
    return pixels;
}

// The calculator's icon for the window: a 32x32 picture whose pure magenta
// is transparent. A picture of another size is not taken. SDL gives the
// window system only the old bitmap of it; taskbars get its pixels later,
// once the window exists (set_taskbar_icon).
void set_window_icon() {
    SDL_Surface* icon = SDL_LoadBMP_RW(open_data_file(ICON_FILE), 1);
    if (icon == nullptr) {
        std::fprintf(stderr, "Couldn't load %s: %s\n", ICON_FILE, SDL_GetError());
        return;
    }
    if (icon->w == ICON_SIZE && icon->h == ICON_SIZE) {
        const Uint32 key = SDL_MapRGB(icon->format, 255, 0, 255);
        SDL_SetColorKey(icon, SDL_SRCCOLORKEY, key);
        SDL_WM_SetIcon(icon, nullptr);
        taskbar_icon = argb_pixels(icon, key);
    } else {
        std::fprintf(stderr, "Couldn't load %s: %d x %d pixels, not %d x %d\n", ICON_FILE, icon->w, icon->h,
                     ICON_SIZE, ICON_SIZE);
    }
    SDL_FreeSurface(icon);
}

// Whether any key of the keyboard that repeats is held down. SDL counts a
// lock that is on (Num Lock, Caps Lock, Scroll Lock) as a key held; those
// and the modifiers (Shift to Compose), held alone, type nothing.
bool keyboard_held() {
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    for (int i = 0; i < count; ++i)
        if (keys[i] && (i < SDLK_NUMLOCK || i > SDLK_COMPOSE)) return true;
    return false;
}

class DesktopBackend final : public Backend {
public:
    explicit DesktopBackend(int scale) : scale_(scale) {}
    ~DesktopBackend() override { SDL_FreeSurface(upright_); }

    SDL_Surface* open_screen() override {
        // Started from a menu or another folder, the data is found all the same.
        go_to_data_folder();
        // Without a display SDL would fall back to drawing the calculator
        // with letters in the terminal; a window is what was asked for.
        setenv("SDL_VIDEODRIVER", "x11", 0);
        setenv("SDL_VIDEO_X11_WMCLASS", WINDOW_CLASS, 1);
        start_sdl();  // what failed besides the video, the mixer or the joystick says or does not matter
        if (!SDL_WasInit(SDL_INIT_VIDEO) || !open_window()) {
            std::fputs(NEEDS_A_DISPLAY, stderr);
            return nullptr;
        }
        SDL_EnableUNICODE(1);
        SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL);
        x_watched_ = watch_x_connection();
        if (x_watched_) set_taskbar_icon(taskbar_icon);
        SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BITS,
                                                   0xF800, 0x07E0, 0x001F, 0);
        if (screen != nullptr && !same_pixels(screen->format, window_->format))
            upright_ = SDL_CreateRGBSurface(SDL_SWSURFACE, window_->w, window_->h, SCREEN_BITS, 0xF800, 0x07E0,
                                            0x001F, 0);
        return screen;
    }

    void show(SDL_Surface* screen) override {
        if (window_ == nullptr) return;  // no window was opened
        if (upright_ == nullptr) {
            turn_clockwise(screen, window_, scale_);
        } else {
            // A window of other pixels: turned in the screen's, then converted by SDL.
            turn_clockwise(screen, upright_, scale_);
            SDL_BlitSurface(upright_, nullptr, window_, nullptr);
        }
        if (SDL_Flip(window_) < 0) std::fputs("SDL_Flip failed", stderr);
    }

    void sdl_event(const SDL_Event& event) override {
        switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) pointer(InputEvent::POINTER_DOWN, event.button.x, event.button.y);
            else if (event.button.button == SDL_BUTTON_MIDDLE) ask_for_selection(true);
            break;  // the right button and the wheel press nothing
        case SDL_MOUSEMOTION: pointer(InputEvent::POINTER_MOVE, event.motion.x, event.motion.y); break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) pointer(InputEvent::POINTER_UP, event.button.x, event.button.y);
            break;
        case SDL_ACTIVEEVENT:
            // Gone to another window: a key held down un-presses, and acts not.
            if (event.active.gain == 0 && (event.active.state & SDL_APPINPUTFOCUS))
                handle_input(pointer_input(InputEvent::POINTER_CANCEL, ALL_POINTERS));
            break;
        case SDL_KEYDOWN: type_key(event.key.keysym); break;
        case SDL_SYSWMEVENT: window_event(event); break;
        default: break;
        }
    }

    void copy(const std::string& text) override { own_clipboard(text); }
    void ask_for_paste() override { ask_for_selection(false); }
    bool tells_every_silent_click() const override { return false; }

    void restore_kept() override { restore_state_file(); }

    void keep() override { keep_state_file(); }

    void pause_idle() override {
        // A held mouse button repeats nothing here: no reason to wake for
        // it; but woken to close the click's audio device once it has been quiet.
        const int until_closed = close_sound_when_quiet();
        pause_native_idle(idle_sleeps_on_x(x_watched_, false, SDL_JoystickOpened(0)), keyboard_held(), false,
                          until_closed);
    }

private:
    // The mouse at (x, y) in the window: the window shows the screen turned
    // clockwise, so its rows are the screen's columns and its columns the
    // screen's rows from the bottom.
    void pointer(InputEvent::Kind kind, int x, int y) {
        handle_input(pointer_input(kind, MOUSE_POINTER, y / scale_, SCREEN_HEIGHT - 1 - x / scale_));
    }

    void window_event(const SDL_Event& event) {
        std::string text;
        if (window_destroyed(event)) app.quit_requested = 1;
        else if (pasted_text(event, text)) paste_text(text);
        else answer_clipboard_event(event);
    }

    bool open_window() {
        char driver[16] = {};
        SDL_VideoDriverName(driver, sizeof driver);
        if (std::string(driver) != "x11") return false;
        if (scale_ == 0) {
            const SDL_VideoInfo* info = SDL_GetVideoInfo();
            scale_ = default_scale(info->current_h, info->current_w);
            if (info->current_h < SCREEN_WIDTH || info->current_w < SCREEN_HEIGHT)
                std::fprintf(stderr, "tarno: the screen, %d x %d, is smaller than the window at scale 1, %d x %d\n",
                             info->current_w, info->current_h, SCREEN_HEIGHT, SCREEN_WIDTH);
        }
        SDL_WM_SetCaption(WINDOW_TITLE, WINDOW_TITLE);
        set_window_icon();
        window_ = SDL_SetVideoMode(SCREEN_HEIGHT * scale_, SCREEN_WIDTH * scale_, SCREEN_BITS, 0);
        return window_ != nullptr;
    }

    int scale_;
    SDL_Surface* window_ = nullptr;   // the window's surface, SDL's
    SDL_Surface* upright_ = nullptr;  // the turned screen, when the window's pixels differ from the screen's
    bool x_watched_ = false;
};

}  // namespace

int default_scale(int screen_height, int screen_width) {
    // The window is the screen turned upright: SCREEN_HEIGHT wide, SCREEN_WIDTH high.
    const int scale = std::min(screen_height * SCREEN_SHARE_PERCENT / (100 * SCREEN_WIDTH),
                               screen_width * SCREEN_SHARE_PERCENT / (100 * SCREEN_HEIGHT));
    return scale < 1 ? 1 : (scale > MAX_SCALE ? MAX_SCALE : scale);
}

std::unique_ptr<Backend> make_desktop_backend(int scale) { return std::make_unique<DesktopBackend>(scale); }

}  // namespace tarno
