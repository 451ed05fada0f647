#!/usr/bin/env bash
# The release as scripts/release cuts it, checked by CTest (label release):
#   source-archive  the source archive holds exactly the tracked files and its list, never a
#                   planted untracked file; made again from the unpacked archive it is the
#                   same, byte for byte; and scripts/release refuses a tree with such a file.
#   second-folder   a second release of the same tree, cut later from a copy in another
#                   folder (its name holds a space) under another umask and time zone, gives
#                   files identical to dist/'s.
#   demo            scripts/play's headless demo runs from a copy in a folder whose name
#                   holds a space and a quote. (The Windows resource compiler runs its
#                   preprocessor through a shell, so the release cannot be cut from there.)
# A copy is a clone where the source folder is a git checkout, else its source archive unpacked.
# Usage: release_test.sh <check> <source folder> <scratch folder>
set -euo pipefail
check=$1
source=$2
scratch=$3
# shellcheck source=../../scripts/lib/setup.sh
source "$source/scripts/lib/setup.sh"
version=$(project_version)

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
skip_or_fail() {
    [ "${LUMENVALE_REQUIRE_PACKAGE:-}" != 1 ] || fail "$@"
    echo "skipped: $* (LUMENVALE_REQUIRE_PACKAGE=1 makes this a failure)"
    exit 77
}

# A copy of the source folder's tree. From a git checkout, a clone of its commit, with any
# uncommitted change to a tracked file as a commit of its own (which is what scripts/release
# --snapshot packages there); from an unpacked source archive, its archive in dist/ unpacked.
copy_tree() {
    local into=$1 commit archive="$source/dist/lumenvale-$version-src.tar.gz"
    if [ -e "$source/.git" ]; then
        commit=$(git -C "$source" stash create)
        commit=${commit:-$(git -C "$source" rev-parse HEAD)}
        git clone --quiet --no-checkout "$source" "$into"
        git -C "$into" checkout --quiet --detach "$commit"
    elif [ -f "$archive" ]; then
        mkdir -p "$into"
        tar -xzf "$archive" -C "$into" --strip-components=1
    else
        skip_or_fail "no $archive: run scripts/release"
    fi
}

# Files no release may carry, where a maintainer might leave them.
plant_strays() {
    printf 'password\n' >"$1/notes.txt"
    printf 'swap\n' >"$1/app/.Game.cpp.swp"
    mkdir -p "$1/tools/__pycache__"
    printf 'cache\n' >"$1/tools/__pycache__/x.pyc"
}

source_archive() {
    local clone="$scratch/clone" unpacked="$scratch/unpacked"
    copy_tree "$clone"
    local archive="lumenvale-$version-src.tar.gz" expected actual
    if [ -e "$clone/.git" ]; then
        expected=$( (git -C "$clone" ls-files && echo .source-files) | LC_ALL=C sort)
    else
        expected=$( (tr '\0' '\n' <"$clone/.source-files" && echo .source-files) | LC_ALL=C sort)
    fi
    plant_strays "$clone"
    (cd "$clone" && scripts/source-archive >/dev/null)
    actual=$(tar -tzf "$clone/dist/$archive" | sed "s,^lumenvale-$version/,," | LC_ALL=C sort)
    [ "$expected" = "$actual" ] ||
        fail "the archive is not the tracked files and their list:" \
            "$(diff <(echo "$expected") <(echo "$actual"))"

    mkdir "$unpacked"
    tar -xzf "$clone/dist/$archive" -C "$unpacked"
    plant_strays "$unpacked/lumenvale-$version"
    (cd "$unpacked/lumenvale-$version" && umask 077 && scripts/source-archive >/dev/null)
    cmp "$clone/dist/$archive" "$unpacked/lumenvale-$version/dist/$archive" ||
        fail "the archive made from the unpacked archive differs"

    [ -e "$clone/.git" ] || return 0
    if (cd "$clone" && scripts/release) >"$scratch/refused.log" 2>&1; then
        fail "scripts/release packaged a tree with untracked files"
    fi
    grep -q "notes.txt" "$scratch/refused.log" || fail "no word of notes.txt: $(cat "$scratch/refused.log")"
}

second_folder() {
    [ -f "$source/dist/SHA256SUMS" ] || skip_or_fail "no dist/SHA256SUMS: run scripts/release"
    local second="$scratch/second release" file differing=()
    copy_tree "$second"
    (cd "$second" && umask 077 && TZ=Asia/Kathmandu scripts/release >"$scratch/release.log" 2>&1) ||
        fail "the second release failed: $(tail -n 20 "$scratch/release.log")"
    mapfile -t files < <(sed 's/^[0-9a-f]*  //' "$source/dist/SHA256SUMS")
    for file in "${files[@]}" SHA256SUMS RELEASE-NOTES.md; do
        cmp -s "$source/dist/$file" "$second/dist/$file" || differing+=("$file")
    done
    [ ${#differing[@]} -eq 0 ] || fail "the second release differs in ${differing[*]}"
    echo "Both releases:"
    cat "$second/dist/SHA256SUMS"
}

# The demo reaches its end and saves its eight screenshots as PNG files under out/ of the clone,
# whatever the clone's path holds. It plays by fixed pauses, so on a busy machine the game may
# take one press for another and end early or late: its exit status is left aside.
demo() {
    local clone="$scratch/the demo's folder" shots=0 shot
    copy_tree "$clone"
    (cd "$clone" && env -u DISPLAY -u WAYLAND_DISPLAY scripts/play >"$scratch/play.log" 2>&1) || true
    grep -q '^Screenshots:' "$scratch/play.log" ||
        fail "scripts/play stopped before the end of its demo: $(tail -n 20 "$scratch/play.log")"
    for shot in "$clone"/out/*.png; do
        [ "$(head -c 4 "$shot" | tail -c 3)" != PNG ] || shots=$((shots + 1))
    done
    [ "$shots" -eq 8 ] || fail "the demo saved $shots screenshots: $(cat "$scratch/play.log")"
}

rm -rf "$scratch"
mkdir -p "$scratch"
case "$check" in
    source-archive) source_archive ;;
    second-folder) second_folder ;;
    demo) demo ;;
    *) fail "no check named $check" ;;
esac
