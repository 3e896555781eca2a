// What the handheld's and the desktop's backends share: SDL brought up with
// the window system's events let through, and the pause of an idle pass on
// the X connection or with a short delay.
#pragma once

#include <signal.h>

#include <cstdint>

#include "SDL.h"

namespace tarno {

// The SDL subsystems the program uses: the screen, the click, the buttons.
constexpr Uint32 SDL_SUBSYSTEMS = SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK;

// SDL_Init of the program's subsystems, with the window system's own events
// enabled at once when the video came up (see enable_window_events); false
// when SDL_Init failed, the video perhaps up all the same.
bool start_sdl();

// Lets the window system's raw events through as SDL_SYSWMEVENT. SDL's
// switch drops every queued event; this one keeps them (a quit request
// among them) and queues them again.
void enable_window_events();

// Whether an idle pass may sleep on the X connection: only when it is
// watched and nothing that SDL polls for, the touch device or a joystick's
// buttons, can change without an X event.
bool idle_sleeps_on_x(bool x_watched, bool direct_touch, bool joystick_open);

// How long an idle pass sleeps on the X connection: -1 (until an event) when
// nothing is pressed; while a press is held, until the repeat guard ends, so
// that a held key repeats on time although a still mouse sends no events.
int x_wait_timeout_ms(bool pressed, std::uint32_t deadline, std::uint32_t now);

// The pause of an idle pass on a native display: on the X connection until
// something happens (waking for a held press's repeat where a held press
// repeats, and often while a keyboard key is held, for SDL's key repeat) or
// longest_ms pass (-1: no limit), else a short SDL_Delay.
void pause_native_idle(bool on_x_connection, bool keyboard_held, bool held_press_repeats, int longest_ms = -1);

// Waits until fd has input, timeout_ms passes (-1: no limit) or SIGINT or
// SIGTERM comes, unless queued() says that something waits already: the two
// signals are held back from the look at queued() until the wait, so that
// one cannot slip in between; the signal mask is as before afterwards.
void wait_unless_queued(int fd, int timeout_ms, bool (*queued)());

// Waits until fd has input (true), timeout_ms passes (-1: no limit) or a
// signal comes, with the signal mask signals in force meanwhile.
bool wait_for_input(int fd, int timeout_ms, const sigset_t* signals);

}  // namespace tarno
