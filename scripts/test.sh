#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite (window and
# OpenGL tests each under a private X server), then the Qt-free libraries' tests again under ASan and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"

mkdir -p "$root/build-test" "$root/build-sanitize"
bash "$root/scripts/build.sh" "$root/build-test"
bash "$root/scripts/build.sh" "$root/build-sanitize" -DGYRO_SANITIZE=ON -DGYRO_WITH_GUI=OFF \
  -DGYRO_WITH_BENCHMARKS=OFF -DGYRO_WITH_PYTHON=OFF -DCMAKE_BUILD_TYPE=Debug

# Every test that needs a display starts an Xvfb of its own (see cmake/Testing.cmake).
status=0
ctest --test-dir "$root/build-test" --output-on-failure -j "$(nproc)" || status=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$(nproc)" || status=1
exit $status
