#!/bin/sh
# Fails when a C++ file of ours is not formatted as .clang-format says.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
files=$(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
[ -z "$files" ] || clang-format --dry-run -Werror $files
