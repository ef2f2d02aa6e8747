#!/usr/bin/env bash
# Installs what is missing, builds a Release and starts Tunevale.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTUNEVALE_TESTS=OFF -DTUNEVALE_BENCH=OFF >/dev/null
cmake --build "$here/build-release" -j "$(nproc)" >/dev/null
# The built copy runs as a portable one: its settings file beside it says so.
[ -e "$here/build-release/src/ui/Tunevale.ini" ] || : >"$here/build-release/src/ui/Tunevale.ini"
exec "$here/build-release/src/ui/tunevale" "$@"
