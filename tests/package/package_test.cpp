// The packages as players get them, as scripts/package and scripts/build-windows make them:
// the Debian package (checked by Debian's own tools, then started through its command on a
// virtual display), the source archive and the Windows program's resources. Without them the
// tests skip, unless LUMENVALE_REQUIRE_PACKAGE=1 (set by scripts/test) makes that a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/GameScreen.h"
#include "tests/support/Shell.h"
#include "tests/support/SkipOrFail.h"
#include "tests/support/XSession.h"

namespace {

namespace menu = e2e::menu;
using e2e::Screenshot;

const std::string Version = LUMENVALE_VERSION;
const std::string Work = LUMENVALE_PACKAGE_TEST_DIR;
const char* const Requirement = "LUMENVALE_REQUIRE_PACKAGE";

using shell::Output;

Output Capture(std::vector<std::string> arguments) {
    return shell::Capture({std::move(arguments)});
}

#define REQUIRE_FILE(path, maker)                                              \
    do {                                                                       \
        if (!std::filesystem::exists(path)) {                                  \
            SKIP_OR_FAIL(Requirement, "no " << (path) << ": run " << (maker)); \
        }                                                                      \
    } while (false)

const std::string Deb = std::string(LUMENVALE_DIST_DIR) + "/lumenvale_" + Version + "_amd64.deb";

std::string FreshFolder(const std::string& name) {
    const std::string path = Work + "/" + name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

// The package's files below a fresh folder of that name.
std::string Unpacked(const std::string& name) {
    const std::string tree = FreshFolder(name);
    Output unpacked = Capture({"dpkg-deb", "-x", Deb, tree});
    EXPECT_EQ(unpacked.status, 0) << unpacked.output;
    return tree;
}

// Every file the package installs, with its permissions.
std::map<std::string, std::string> ExpectedFiles() {
    std::map<std::string, std::string> files = {
        {"./usr/games/lumenvale", "-rwxr-xr-x"},
        {"./usr/lib/games/lumenvale/lumenvale", "-rwxr-xr-x"},
        {"./usr/share/applications/org.lumenvale.Lumenvale.desktop", "-rw-r--r--"},
        {"./usr/share/metainfo/org.lumenvale.Lumenvale.metainfo.xml", "-rw-r--r--"},
        {"./usr/share/man/man6/lumenvale.6.gz", "-rw-r--r--"},
        {"./usr/share/doc/lumenvale/copyright", "-rw-r--r--"},
        {"./usr/share/doc/lumenvale/changelog.gz", "-rw-r--r--"},
    };
    for (const char* picture : {"Font.bmp", "On_Green.bmp", "Off_Green.bmp", "On_Red.bmp",
                                "Off_Red.bmp", "On_Blue.bmp", "Off_Blue.bmp", "On_TrueLamp.bmp",
                                "Off_TrueLamp.bmp", "Title.bmp", "Cursor.bmp", "Planet.bmp"}) {
        files["./usr/share/games/lumenvale/" + std::string(picture)] = "-rw-r--r--";
    }
    for (int size : {48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        files["./usr/share/icons/hicolor/" + folder + "/apps/lumenvale.png"] = "-rw-r--r--";
    }
    return files;
}

TEST(DebianPackage, NamesTheProjectVersionTheGamesSectionAndWhatTheGameLoads) {
    REQUIRE_FILE(Deb, "scripts/package");
    auto field = [](const char* name) {
        Output run = Capture({"dpkg-deb", "-f", Deb, name});
        return run.Lines().empty() ? std::string() : run.Lines()[0];
    };
    EXPECT_EQ(field("Package"), "lumenvale");
    EXPECT_EQ(field("Version"), Version);
    EXPECT_EQ(field("Architecture"), "amd64");
    EXPECT_EQ(field("Section"), "games");
    // The libraries the program links, found by dpkg-shlibdeps, and the GL library SDL opens.
    const std::string depends = field("Depends");
    for (const char* library :
         {"libc6 (", "libsdl2-2.0-0 (", "libx11-6", "libstdc++6 (", "libgl1"}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;
    }
    EXPECT_EQ(depends.find("-dev"), std::string::npos) << depends;
    EXPECT_GT(std::atoi(field("Installed-Size").c_str()), 0);
}

TEST(DebianPackage, InstallsExactlyTheGameItsPicturesAndItsDesktopFilesOwnedByRoot) {
    REQUIRE_FILE(Deb, "scripts/package");
    std::map<std::string, std::string> files;
    for (const std::string& line : Capture({"dpkg-deb", "-c", Deb}).Lines()) {
        std::istringstream fields(line);
        std::string mode, owner, size, date, time, path;
        fields >> mode >> owner >> size >> date >> time >> path;
        EXPECT_EQ(owner, "root/root") << line;
        if (mode[0] != 'd') {
            files[path] = mode;
        }
    }
    EXPECT_EQ(files, ExpectedFiles());
}

TEST(DebianPackage, PassesLintianAndTheDesktopEntryMetadataAndManualValidators) {
    REQUIRE_FILE(Deb, "scripts/package");
    for (const char* tool : {"lintian", "desktop-file-validate", "appstreamcli", "man"}) {
        REQUIRE_TOOL(Requirement, tool);
    }
    Output lintian = Capture({"lintian", "--fail-on", "error", Deb});
    EXPECT_EQ(lintian.status, 0) << lintian.output;
    for (const std::string& line : lintian.Lines()) {
        EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
    }

    const std::string share = Unpacked("validated") + "/usr/share";
    Output desktop =
        Capture({"desktop-file-validate", share + "/applications/org.lumenvale.Lumenvale.desktop"});
    EXPECT_TRUE(desktop.status == 0 && desktop.output.empty()) << desktop.output;
    Output metainfo = Capture({"appstreamcli", "validate", "--no-net",
                               share + "/metainfo/org.lumenvale.Lumenvale.metainfo.xml"});
    EXPECT_EQ(metainfo.status, 0) << metainfo.output;
    Output manual = shell::Capture(
        {{"man", "--warnings", "-E", "UTF-8", "-l", share + "/man/man6/lumenvale.6.gz"},
         {"LC_ALL=C.UTF-8", "MANWIDTH=80"}},
        shell::Keep::Errors);
    EXPECT_TRUE(manual.status == 0 && manual.output.empty()) << manual.output;
}

// The menu's buttons, and its pictures as they look when loaded: a picture that failed to load
// is drawn as a plain white quad instead. The planet lies in dark space; the title's letters
// cover only part of their band.
bool MenuWithPictures(const Screenshot& shot) {
    const PixelBox planet = e2e::ToPixels(menu::Planet, 2);
    const double space = e2e::Share(shot, planet, [](const uint8_t* p) {
        return std::max({p[0], p[1], p[2]}) < 60;
    });
    const double title = e2e::LitShare(shot, e2e::ToPixels(menu::Title), 40);
    return e2e::ButtonFillSeen(shot, menu::Play) && e2e::ButtonFillSeen(shot, menu::Exit) &&
           space > 0.2 && space < 0.9 && title > 0.05 && title < 0.7;
}

// The package unpacked into a folder of its own, as dpkg would install it below /, and its
// `lumenvale` command run from a folder that holds no pictures: the command must change to
// the pictures' folder itself, or the menu shows no planet and no title.
TEST(InstalledGame, StartsThroughItsCommandFromAnotherFolderAndDrawsTheMenuWithItsPictures) {
    REQUIRE_FILE(Deb, "scripts/package");
    REQUIRE_TOOL(Requirement, "Xvfb");
    const std::string tree = Unpacked("installed");
    const std::string elsewhere = FreshFolder("elsewhere");

    xsession::Session session;
    if (!session.StartDisplay()) {
        SKIP_OR_FAIL(Requirement, "no virtual display: " << session.Error());
    }
    ASSERT_TRUE(
        session.StartProgram({tree + "/usr/games/lumenvale"}, elsewhere, {"SDL_VIDEODRIVER=x11"}));
    xsession::WindowInfo window;
    ASSERT_TRUE(session.FindWindow("LumenvaleGame", &window, 20000))
        << "no window titled LumenvaleGame appeared";
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 1024);
    session.MovePointer(e2e::Nowhere.x, e2e::Nowhere.y);
    Screenshot shot;
    EXPECT_TRUE(session.WaitForScreen(MenuWithPictures, 20000, &shot))
        << "no menu with its planet and title: " << shot.Save(Work + "/installed-menu");
}

TEST(InstalledGame, CommandNamesTheMissingPicturesFolder) {
    REQUIRE_FILE(Deb, "scripts/package");
    const std::string tree = Unpacked("no-pictures");
    ASSERT_GT(std::filesystem::remove_all(tree + "/usr/share/games/lumenvale"), 0u);
    Output run = shell::Capture({{tree + "/usr/games/lumenvale"}, {}, "/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(tree + "/usr/share/games/lumenvale"), std::string::npos)
        << run.output;
}

TEST(SourceArchive, HoldsEveryProjectFileUnderOneFolderAndNoBuildOutput) {
    const std::string archive =
        std::string(LUMENVALE_DIST_DIR) + "/lumenvale-" + Version + "-src.tar.gz";
    REQUIRE_FILE(archive, "scripts/package");
    const std::string top = "lumenvale-" + Version + "/";
    std::set<std::string> files;
    for (const std::string& path : Capture({"tar", "-tzf", archive}).Lines()) {
        ASSERT_EQ(path.rfind(top, 0), 0u) << path << " lies outside " << top;
        files.insert(path.substr(top.size()));
    }
    for (const char* needed : {"CMakeLists.txt", "scripts/play", "scripts/test", "scripts/package",
                               "scripts/lib/setup.sh", "data/Font.bmp",
                               "packaging/icons/lumenvale.ico", "packaging/linux/changelog"}) {
        EXPECT_EQ(files.count(needed), 1u) << needed;
    }
    // No version control, and none of the build folders, packages or screenshots.
    for (const std::string& file : files) {
        const std::string folder = file.substr(0, file.find('/'));
        EXPECT_TRUE(folder != ".git" && folder.rfind("build", 0) != 0 && folder != "dist" &&
                    folder != "out")
            << file;
    }
    // Where the sources are a git checkout, nothing it tracks may be left out.
    if (std::filesystem::exists(std::string(LUMENVALE_SOURCE_DIR) + "/.git")) {
        for (const std::string& tracked :
             Capture({"git", "-C", LUMENVALE_SOURCE_DIR, "ls-files"}).Lines()) {
            EXPECT_EQ(files.count(tracked), 1u) << tracked << " is tracked but not archived";
        }
    }
}

class WindowsProgram : public ::testing::Test {
protected:
    // The program as the Windows zip holds it.
    void SetUp() override {
        const std::string zip = std::string(LUMENVALE_DIST_DIR) + "/lumenvale-windows.zip";
        REQUIRE_FILE(zip, "scripts/build-windows");
        for (const char* tool : {"unzip", "wrestool", "icotool"}) {
            REQUIRE_TOOL(Requirement, tool);
        }
        exe = FreshFolder("windows") + "/lumenvale.exe";
        Output program = shell::Capture({{"unzip", "-p", zip, "lumenvale.exe"}});
        ASSERT_EQ(program.status, 0) << program.output;
        std::ofstream(exe, std::ios::binary) << program.output;
    }

    Output Resource(const std::string& type) {
        return Capture({"wrestool", "-x", "--raw", "--type=" + type, exe});
    }

    std::string exe;
};

TEST_F(WindowsProgram, CarriesTheIconInEverySizeFrom16To256) {
    const std::string ico = Work + "/windows/lumenvale.ico";
    ASSERT_TRUE(shell::Run({{"wrestool", "-x", "--type=group_icon", "-o", ico, exe}}));
    std::set<std::string> sizes;
    for (const std::string& line : Capture({"icotool", "-l", ico}).Lines()) {
        EXPECT_NE(line.find("--bit-depth=32"), std::string::npos) << line;
        sizes.insert(line.substr(line.find("--width=") + 8,
                                 line.find(" --height") - line.find("--width=") - 8));
    }
    EXPECT_EQ(sizes, (std::set<std::string>{"16", "24", "32", "48", "64", "128", "256"}));
}

TEST_F(WindowsProgram, CarriesVersionInformationWithTheProjectVersion) {
    // The strings of the version resource are UTF-16: read them as such.
    const std::string version = Work + "/windows/version.res";
    std::ofstream(version, std::ios::binary) << Resource("16").output;
    Output strings = Capture({"strings", "-el", version});
    std::map<std::string, std::string> values;
    std::vector<std::string> lines = strings.Lines();
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        values[lines[i]] = lines[i + 1];
    }
    EXPECT_EQ(values["ProductName"], "Lumenvale") << strings.output;
    EXPECT_EQ(values["ProductVersion"], Version);
    EXPECT_EQ(values["FileVersion"], Version);
    EXPECT_NE(values["FileDescription"].find("Lumenvale"), std::string::npos);
    EXPECT_NE(values["LegalCopyright"].find("Copyright"), std::string::npos);
}

// Windows reads the manifest with name 1: per-monitor DPI awareness (version 2 first), the
// older switch for Windows 7 to 8.1, and the four Windows versions the game was made for.
TEST_F(WindowsProgram, CarriesOneManifestDeclaringDpiAwarenessAndSupportedWindows) {
    Output list = Capture({"wrestool", "-l", "--type=24", exe});
    EXPECT_EQ(list.Lines().size(), 1u) << list.output;
    EXPECT_NE(list.output.find("--name=1 "), std::string::npos) << list.output;
    const std::string manifest = Resource("24").output;
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos) << manifest;
    for (const char* windows : {"8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",     // 10 and 11
                                "1f676c76-80e1-4239-95bb-83d0f6d0da78",     // 8.1
                                "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",     // 8
                                "35138b9a-5d96-4fbd-8e2d-a2440225f93a"}) {  // 7
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + windows + "}\"/>"),
                  std::string::npos)
            << windows;
    }
}

}  // namespace
