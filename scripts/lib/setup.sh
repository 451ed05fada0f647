# Shared by the scripts: the project root, and installing what a fresh Debian machine lacks.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# What building and running the game needs.
play_packages=(cmake g++ make pkg-config libsdl2-dev libgl1-mesa-dev libgl1-mesa-dri)
# What the tests, the benchmarks and the picture generator need on top.
test_packages=(libgtest-dev googletest libbenchmark-dev libfreetype-dev fonts-dejavu-core
               xvfb libx11-dev libxtst-dev x11-apps imagemagick clang libclang-rt-14-dev
               clang-format valgrind)
# The tests under a window manager with a panel, and the long session's X resource counts.
test_packages+=(mutter tint2 libxfixes-dev libxres-dev)
# What cross-building and packaging the Windows program needs.
windows_packages=(cmake make g++-mingw-w64-x86-64 zip)
# What running it under 64-bit Wine on a virtual display needs. Wine loads the X and OpenGL
# libraries it draws with at run time, so they are named here: they are only recommended.
wine_packages=(wine wine64 unzip xvfb libgl1 libgl1-mesa-dri libxcursor1 libxfixes3 libxi6
               libxinerama1 libxrandr2 libxrender1 libxxf86vm1 libxcomposite1)
# What making the Debian package and checking it needs: dpkg-shlibdeps and dpkg-gencontrol,
# the checkers the package tests run (icoutils reads the Windows program's resources), and
# zlib, through which the icon writer's test reads its PNG files back.
package_packages=(dpkg-dev lintian desktop-file-utils appstream icoutils man-db zlib1g-dev)
# What building the browser version needs, and what testing it in a real browser needs.
web_packages=(emscripten cmake make zip)
web_test_packages=(chromium chromium-driver python3-selenium python3-pil)
# The other engines: WebKitGTK's driver (MiniBrowser comes with its library), and Firefox ESR
# on a virtual display driven by X input.
web_test_packages+=(webkit2gtk-driver firefox-esr xvfb x11-apps xdotool)

# Installs, as root through apt-get, whichever of the given packages are missing.
install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
    $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

build_jobs() { nproc 2>/dev/null || echo 2; }

# The project's own files, relative to the root and sorted: everything but build output and
# version control, so that a clone and an unpacked source archive give the same list.
source_files() {
    (cd "$root" && find . \( -path ./.git -o -path './build*' -o -path ./dist -o -path ./out \
        -o -name node_modules \) -prune -o -type f -print | sed 's,^\./,,' | LC_ALL=C sort)
}
