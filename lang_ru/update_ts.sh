#!/bin/sh
# Collects the program's translatable texts into a .ts file.
# Usage: update_ts.sh LUPDATE TS_FILE
# The core marks its texts with TB_TRANSLATE_NOOP, which lupdate reads as QT_TRANSLATE_NOOP.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$1" -silent -locations none -no-obsolete -target-language ru_RU \
    -tr-function-alias QT_TRANSLATE_NOOP+=TB_TRANSLATE_NOOP -I "$root/src" -I "$root/src/core" \
    "$root/src/app" "$root/src/core" -ts "$2"
