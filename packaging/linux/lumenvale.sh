#!/bin/sh
# Starts Lumenvale from anywhere: the game reads its pictures from its working directory, so
# this command changes to the pictures' folder first. Both folders are found relative to this
# script (<prefix>/games/lumenvale), so an install under /usr, /usr/local or an unpacked
# package tree all work.
set -e
prefix=$(dirname "$(dirname "$(readlink -f "$0")")")
pictures="$prefix/share/games/lumenvale"
if ! cd "$pictures" 2>/dev/null; then
    echo "lumenvale: the game's pictures are missing: $pictures" >&2
    exit 1
fi
exec "$prefix/lib/games/lumenvale/lumenvale" "$@"
