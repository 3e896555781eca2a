#!/bin/sh
# Starts the calculator upright in a window, from the folder that holds its
# data: it reads its keypad pictures, font and click from tarno/ below its
# working directory, as it does on the handheld.
cd /usr/share/tarno || exit 1
exec /usr/lib/tarno/tarno --desktop "$@"
