#!/usr/bin/env bash
# Checks that the C++ sources follow the root .clang-format. Exits 77, which CTest counts as a
# skip, when clang-format is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed: the format is not checked"
    exit 77
fi
find src tests bench fuzz -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 clang-format --dry-run --Werror
