#!/usr/bin/env bash
# Builds the tree with AddressSanitizer and UndefinedBehaviorSanitizer in
# ./build-asan and runs every test but the benchmarks there. Slow the first
# time (a full debug build); arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
flags="-fsanitize=address,undefined -fno-omit-frame-pointer"
# The host sees controllers only through plug-ins it loads, so the vptr check
# would need type information the host does not link.
flags="$flags -fno-sanitize=vptr"
if [ ! -f build-asan/build.ninja ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
fi
cmake --build build-asan -j "$(nproc)"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan -LE bench -j "$(nproc)" --output-on-failure "$@"
