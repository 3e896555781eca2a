// What the browser's backend (browser.cpp) asks of the page's other entry
// points (browser_page.cpp): the end of each pass of the main loop.
#pragma once

namespace tarno {

// Called after every pass and every key pressed by its code: keeps the
// kept values in the page's storage when they changed, and stops the frames
// when quiet (nothing pressed, nothing pending) until the page wakes them.
void after_pass(bool quiet);

}  // namespace tarno
