# shellcheck shell=bash disable=SC2034  # the scripts that source it read the package lists
# Shared by the scripts: the project root, installing what a fresh Debian machine lacks, the
# project's own files and version, and what makes the packages the same wherever they are made.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# What building and running the game needs.
play_packages=(cmake g++ make pkg-config libsdl2-dev libxrandr-dev libgl1-mesa-dev libgl1-mesa-dri)
# What the tests, the benchmarks and the picture generator need on top.
test_packages=(libgtest-dev googletest libbenchmark-dev libfreetype-dev fonts-dejavu-core
               xvfb libx11-dev libxtst-dev x11-apps imagemagick clang libclang-rt-14-dev
               clang-format valgrind)
# Every shell script of the project is checked.
test_packages+=(shellcheck)
# The tests under a window manager with a panel, and the long session's X resource counts.
test_packages+=(mutter tint2 libxfixes-dev libxres-dev)
# The tests under a Wayland compositor: sway, its screenshots, XWayland, and xhost to let the
# tests' X programs in.
test_packages+=(sway grim xwayland x11-xserver-utils)
# What cross-building and packaging the Windows program needs.
windows_packages=(cmake make g++-mingw-w64-x86-64 zip)
# What running it under 64-bit Wine on a virtual display needs. Wine loads the X and OpenGL
# libraries it draws with at run time, so they are named here: they are only recommended.
wine_packages=(wine wine64 unzip xvfb libgl1 libgl1-mesa-dri libxcursor1 libxfixes3 libxi6
               libxinerama1 libxrandr2 libxrender1 libxxf86vm1 libxcomposite1)
# What making the Debian package and checking it needs: dpkg-shlibdeps and dpkg-gencontrol,
# the checkers the package tests run (icoutils reads the Windows program's resources), and
# libpng and zlib, through which the icon writer's test reads its files back.
package_packages=(dpkg-dev lintian desktop-file-utils appstream icoutils man-db libpng-dev)
# What building the browser version needs, and what testing it in a real browser needs.
web_packages=(emscripten cmake make zip)
web_test_packages=(chromium chromium-driver python3-selenium python3-pil)
# The latency bench watches the screen through X from Python.
web_test_packages+=(python3-xlib)
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
    # sudo resets the environment: the setting travels on its command line. apt's progress is
    # left out, its warnings and errors reach the screen.
    local as_root=(env DEBIAN_FRONTEND=noninteractive)
    [ "$(id -u)" -eq 0 ] || as_root=(sudo "${as_root[@]}")
    "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=600 -o Dpkg::Use-Pty=0 install -y -qq \
        --no-install-recommends "${missing[@]}" >/dev/null
}

build_jobs() { nproc 2>/dev/null || echo 2; }

# The project's own files, relative to the root, NUL-separated and sorted: in a git checkout
# the files git tracks (as they are in the tree; a deleted one is left out); in an unpacked
# source archive the list it carries. Nothing else (build output, an editor's swap file, a
# local note) is ever one of them.
source_list=.source-files
source_files() {
    if [ -e "$root/.git" ]; then
        (cd "$root" && git ls-files -z --cached --deduplicate | while IFS= read -r -d '' file; do
            if [ -f "$file" ] || [ -L "$file" ]; then printf '%s\0' "$file"; fi
        done) | LC_ALL=C sort -z
    elif [ -f "$root/$source_list" ]; then
        LC_ALL=C sort -z "$root/$source_list"
    else
        echo "$root is neither a git checkout nor an unpacked source archive ($source_list)" >&2
        return 1
    fi
}

# The project's shell scripts, NUL-separated: by their name or their first line.
shell_scripts() {
    source_files | while IFS= read -r -d '' file; do
        if [[ $file == *.sh ]] || head -n 1 "$root/$file" | grep -q -E '^#!.*\b(ba)?sh\b'; then
            printf '%s\0' "$file"
        fi
    done
}

# The project's version, as CMakeLists.txt names it.
project_version() {
    sed -n 's/^project(Lumenvale VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt"
}

# The date of the changelog's first entry, in seconds: every file of every package carries it
# (SOURCE_DATE_EPOCH), so that the same sources give the same packages at any time.
release_epoch() {
    local trailer
    trailer=$(sed -n 's/^ -- .*>  //p' "$root/packaging/linux/changelog" | head -n 1)
    date -u -d "$trailer" +%s
}

# Zips `folder`'s given files in that order, with the changelog's date, fixed permissions and
# no owner or extra timestamps, so that the same files give the same zip.
reproducible_zip() {
    local zip=$1 folder=$2 epoch
    shift 2
    epoch=$(release_epoch)
    (
        cd "$folder" || exit
        chmod 644 -- "$@"
        touch -d "@$epoch" -- "$@"
        rm -f "$zip"
        TZ=UTC zip -q -X -D "$zip" "$@"
    )
}
