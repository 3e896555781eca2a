// Where the desktop's calculator finds its data files. The handheld's
// program reads them below its working folder, and so does this, once it
// has made the first folder that has them its working folder.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "display.h"
#include "lifecycle.h"

namespace tarno {

namespace {

// The data files, below a data folder; any one of them marks the folder as
// the calculator's, so that a missing one is reported as missing there.
constexpr const char* DATA_FILES[] = {"tarno/tarno.bmp", "tarno/tarno9.bmp", FONT_FILE, "tarno/tarno.wav"};

std::string parent_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool holds_data(const std::string& folder) {
    struct stat status;
    for (const char* file : DATA_FILES)
        if (stat((folder + "/" + file).c_str(), &status) == 0 && S_ISREG(status.st_mode)) return true;
    return false;
}

std::string working_folder() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? path : ".";
}

std::string program_path() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "";
}

}  // namespace

std::vector<std::string> data_folders(const std::string& working, const std::string& program,
                                      const std::string& installed) {
    std::vector<std::string> folders = {working};
    const std::string beside = parent_of(parent_of(program));
    if (!beside.empty()) folders.push_back(beside);
    folders.push_back(installed);
    return folders;
}

void go_to_data_folder() {
    const std::vector<std::string> folders = data_folders(working_folder(), program_path(), INSTALLED_DATA_FOLDER);
    for (const std::string& folder : folders)
        if (holds_data(folder)) {
            if (folder != folders.front() && chdir(folder.c_str()) != 0) break;
            return;
        }
    std::string places;
    for (const std::string& folder : folders)
        places += (places.empty() ? "" : ", ") + folder + (folder == "/" ? "tarno/" : "/tarno/");
    std::fprintf(stderr, "tarno: no data files (tarno.bmp, tarno9.bmp, arial.ttf, tarno.wav) in %s\n",
                 places.c_str());
}

}  // namespace tarno
