// What the browser's backend (browser.cpp) asks of the page's other entry
// points (browser_page.cpp): the kept values at start and after each key,
// and the end of each pass of the main loop.
#pragma once

namespace tarno {

// Called after every pass: stops the frames when quiet (nothing pressed,
// nothing pending) until the page wakes them.
void after_pass(bool quiet);

// Just after the power-on: the memory, Ans, angle unit and format kept in
// the page's storage; a stored text that cannot be read (or storage that
// cannot be) leaves the calculator as it started, with one console line.
void restore_page_kept();

// After a key: keeps the kept values in the page's storage when they changed.
void keep_in_page();

}  // namespace tarno
