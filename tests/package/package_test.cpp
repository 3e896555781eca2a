// The packages as their users meet them: the Debian package's files, its
// dependencies, its launcher and desktop entry; the calculator installed
// with apt and started from its desktop entry under an X server of its own,
// its upright window against tarno-shot's first screen; and the handheld
// bundle's layout.
// The package tests need the files that ./setup package writes and skip
// without them; installing needs root and skips without it.
#include <unistd.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/process.h"
#include "x_session.h"

namespace {

using namespace tarno_test;

// What a shell command writes on its standard output.
std::string output_of(const std::string& command) { return run({{"sh", "-c", command}}).out; }

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The value of "Key=" in a desktop entry's text, or empty.
std::string entry_value(const std::string& entry, const std::string& key) {
    for (const std::string& line : lines_of(entry))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

class Package : public ::testing::Test {
protected:
    void SetUp() override {
        if (!file_exists(TARNO_DEB)) GTEST_SKIP() << "no " << TARNO_DEB << ": ./setup package writes it";
    }
};

// The files the package holds (directories left out) and their modes.
std::map<std::string, std::string> package_files() {
    std::map<std::string, std::string> files;
    for (const std::string& line : lines_of(output_of(std::string("dpkg-deb -c ") + TARNO_DEB))) {
        std::istringstream fields(line);
        std::string mode, owner, size, date, time, path;
        fields >> mode >> owner >> size >> date >> time >> path;
        if (mode.empty() || mode[0] == 'd') continue;
        files[path.substr(1)] = mode;  // "./usr/..." as "/usr/..."
    }
    return files;
}

TEST_F(Package, HoldsTheProgramItsDataAndItsDesktopFiles) {
    const std::string program = "-rwxr-xr-x", data = "-rw-r--r--";
    const std::map<std::string, std::string> expected = {
        {"/usr/bin/tarno", program},
        {"/usr/lib/tarno/tarno", program},
        {"/usr/share/tarno/tarno/tarno.bmp", data},
        {"/usr/share/tarno/tarno/tarno9.bmp", data},
        {"/usr/share/tarno/tarno/arial.ttf", data},
        {"/usr/share/tarno/tarno/arial.ttf.LICENSE", data},
        {"/usr/share/tarno/tarno/tarno.wav", data},
        {"/usr/share/tarno/tarno/icon.bmp", data},
        {"/usr/share/applications/tarno.desktop", data},
        {"/usr/share/icons/hicolor/48x48/apps/tarno.png", data},
        {"/usr/share/icons/hicolor/256x256/apps/tarno.png", data},
        {"/usr/share/man/man1/tarno.1.gz", data},
        {"/usr/share/doc/tarno/copyright", data},
        {"/usr/share/doc/tarno/changelog.gz", data},
    };
    EXPECT_EQ(package_files(), expected);
}

TEST_F(Package, DependsOnTheSdlLibrariesItLinks) {
    std::set<std::string> names;
    std::istringstream depends(output_of(std::string("dpkg-deb -f ") + TARNO_DEB + " Depends"));
    for (std::string item; std::getline(depends, item, ',');) {
        std::istringstream name(item);
        std::string first;
        name >> first;
        names.insert(first);
    }
    for (const char* library : {"libsdl1.2debian", "libsdl-ttf2.0-0", "libsdl-mixer1.2"})
        EXPECT_EQ(names.count(library), 1u) << library << " missing from the package's Depends";
}

TEST_F(Package, DesktopEntryRunsTheLauncherThatStartsTheProgramInItsDataFolder) {
    const std::string extract = std::string("dpkg-deb --fsys-tarfile ") + TARNO_DEB + " | tar -xO ";
    const std::string entry = output_of(extract + "./usr/share/applications/tarno.desktop");
    EXPECT_EQ(entry_value(entry, "Exec"), "tarno");
    EXPECT_EQ(entry_value(entry, "Icon"), "tarno");
    EXPECT_EQ(entry_value(entry, "Categories"), "Utility;Calculator;");

    const std::vector<std::string> launcher = lines_of(output_of(extract + "./usr/bin/tarno"));
    ASSERT_FALSE(launcher.empty());
    EXPECT_EQ(launcher.front(), "#!/bin/sh");
    EXPECT_EQ(launcher.back(), "exec /usr/lib/tarno/tarno --desktop \"$@\"") << "the window of a desktop";
}

// Installs the package with apt and removes it again at the end, whatever
// the test's outcome.
class InstalledPackage : public Package {
protected:
    void SetUp() override {
        Package::SetUp();
        if (IsSkipped()) return;
        if (geteuid() != 0) GTEST_SKIP() << "installing a package needs root";
        if (output_of("dpkg-query -W -f='${Status}' tarno 2>/dev/null").find("ok installed") != std::string::npos)
            GTEST_SKIP() << "tarno is installed on this machine already; the test would replace it";
        installed_ = true;
        ASSERT_EQ(apt_get({"install", TARNO_DEB}), 0);
    }
    void TearDown() override {
        if (!installed_) return;
        EXPECT_EQ(apt_get({"remove", "tarno"}), 0);
        EXPECT_FALSE(file_exists("/usr/bin/tarno"));
        EXPECT_FALSE(file_exists("/usr/share/tarno"));
    }

    // Runs apt-get with the words, quietly and without questions: its exit status.
    static int apt_get(const std::vector<std::string>& words) {
        std::vector<std::string> argv{"apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=120"};
        argv.insert(argv.end(), words.begin(), words.end());
        return run({argv, {{"DEBIAN_FRONTEND", "noninteractive"}}}, 150).status;
    }

    bool installed_ = false;
};

TEST_F(InstalledPackage, StartsFromItsDesktopEntryUprightInAWindow) {
    const std::string exec = entry_value(file_text("/usr/share/applications/tarno.desktop"), "Exec");
    ASSERT_FALSE(exec.empty());
    // A screen 768 pixels high: the window's scale is 2.
    XServer x("1024x768x24");
    ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
    // Started from an empty folder, as a menu would start it from one with
    // no data in it: the launcher must find the data itself. That folder is
    // its home too, so that no state kept from another run is found.
    TempDirectory home;
    Child calculator({{"sh", "-c", "cd \"$0\" && exec " + exec, home.path()},
                      {{"DISPLAY", x.display()},
                       {"SDL_AUDIODRIVER", "dummy"},
                       {"HOME", home.path()},
                       {"XDG_STATE_HOME", home.file("state")}}});

    ASSERT_EQ(run({{TARNO_SHOT, "--upright", home.file("first.bmp")}, {{"SDL_VIDEODRIVER", "dummy"}}}).status, 0);
    const Picture expected = scaled(read_bmp(home.file("first.bmp"), HEIGHT, WIDTH), HEIGHT, 2);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(4 * WIDTH * HEIGHT));
    std::string where;
    EXPECT_EQ(wait_for_screen(x.display(), home.file("window.xwd"), expected, 2 * HEIGHT, 15, where), 0)
        << "the installed calculator's window differs from tarno-shot's upright first screen; " << where;

    // The pointer over the window gives it the keyboard.
    EXPECT_EQ(run({{"xdotool", "mousemove", "100", "100", "key", "ctrl+q"}, {{"DISPLAY", x.display()}}}).status, 0);
    EXPECT_EQ(calculator.wait(5), 0) << "Ctrl+Q ends the calculator with status 0";
    calculator.stop();
}

TEST(HandheldBundle, HoldsTheArmProgramBesideItsDataAndReadme) {
    if (!file_exists(TARNO_ZIP)) GTEST_SKIP() << "no " << TARNO_ZIP << ": ./setup test packs it in the ARM tree";
    std::set<std::string> names;
    for (const std::string& name : lines_of(output_of(std::string("unzip -Z1 ") + TARNO_ZIP)))
        if (name.back() != '/') names.insert(name);
    const std::set<std::string> expected = {"tarno.gpe",         "README.txt",      "tarno/tarno.bmp",
                                            "tarno/tarno9.bmp",  "tarno/arial.ttf", "tarno/arial.ttf.LICENSE",
                                            "tarno/tarno.wav"};
    EXPECT_EQ(names, expected);

    const std::string entry = output_of(std::string("unzip -Z ") + TARNO_ZIP + " tarno.gpe");
    EXPECT_EQ(entry.rfind("-rwx", 0), 0u) << "tarno.gpe is not executable: " << entry;
    TempDirectory files;
    const std::string type =
        output_of(std::string("unzip -p ") + TARNO_ZIP + " tarno.gpe >" + files.file("tarno.gpe") + " && file -b " +
                  files.file("tarno.gpe"));
    EXPECT_EQ(type.rfind("ELF 32-bit LSB ", 0), 0u) << type;
    EXPECT_NE(type.find(", ARM, "), std::string::npos) << type;

    // Its README tells how the program was linked, and so what the console must have.
    const std::string readme = output_of(std::string("unzip -p ") + TARNO_ZIP + " README.txt");
    const bool dynamic = type.find("dynamically linked") != std::string::npos;
    EXPECT_NE(readme.find(dynamic ? "linked dynamically" : "linked statically"), std::string::npos) << readme;
    EXPECT_EQ(readme.find('@'), std::string::npos) << "a placeholder left: " << readme;
}

}  // namespace
