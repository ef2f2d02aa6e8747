#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh          the tests of a normal build
#   ./test.sh --full   also the AddressSanitizer/UBSan build and a short run of every fuzz target
# With CI=true the full run is the default.
set -euo pipefail
cd "$(dirname "$0")"

full=0
[ "${CI:-}" = "true" ] && full=1
[ "${1:-}" = "--full" ] && full=1
jobs=$(nproc)

./scripts/install-deps.sh --test

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build -j "$jobs"
# The DEB package and its file list.
rm -f build/tunevale_*.deb
(cd build && cpack -G DEB >/dev/null)
./scripts/check-package.sh build/tunevale_*.deb /usr

if [ "$full" = 1 ]; then
  # Sanitizers and fuzzers share one clang build; the benchmarks are not built there.
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTUNEVALE_SANITIZE=ON -DTUNEVALE_FUZZ=ON -DTUNEVALE_BENCH=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  ./scripts/run-fuzzers.sh build-asan "${FUZZ_SECONDS:-20}"
fi

status=0
(cd build && ctest --output-on-failure -j "$jobs") || status=1
if [ "$full" = 1 ]; then
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  (cd build-asan && ctest --output-on-failure -j "$jobs") || status=1
fi
exit $status
