#!/bin/bash
# Installs what is missing, builds and runs every test through CTest: once
# in the release build, once more in a build under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-sanitize), where a use after free, a
# double free or undefined behaviour fails the test that hits it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@")

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFERRIX_SANITIZE=ON \
  -DFERRIX_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize -j"$(nproc)"
# Leaks at exit are Qt's and the libraries' own, not faults of the run.
cd build-sanitize
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
