#!/usr/bin/env bash
# Installs what building and running need (not the test tools), builds a release build and
# starts the saver in show mode; other arguments (such as /C for the settings) replace /S.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target clocksaver
[ $# -gt 0 ] || set -- /S
exec build/release/src/clocksaver.scr "$@"
