// The keypad's hit-test: what the companion tools share with the calculator
// itself. Free of SDL, so that the headless tools can use it.
#pragma once

#include "calc.h"

namespace tarno {

// The key under screen position (x, y), or 0 on no key. Used by the main
// loop for every accepted press and by the tools for taps.
KeyCode key_at(int x, int y);

}  // namespace tarno
