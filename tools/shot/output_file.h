// Writing tarno-shot's picture where the user asked, without ever leaving a
// half-written picture in a file's place or removing what the tool did not make.
#pragma once

#include <string>
#include <vector>

#include "SDL.h"

namespace tarno_shot {

// Writes bytes to path. Where path, its links followed, names a regular file
// or nothing yet, they go into a new file beside it, which replaces it (with
// its permissions) only once whole and synced, and is removed otherwise; the
// links stay. Where it names anything else (a device, a pipe), they are
// written into it as they are. False with the reason in error.
bool write_file(const std::string& path, const std::vector<Uint8>& bytes, std::string& error);

}  // namespace tarno_shot
