#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite under a
# private X server, then the Qt-free libraries' tests again under ASan and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"

mkdir -p "$root/build-test" "$root/build-sanitize"
bash "$root/scripts/build.sh" "$root/build-test"
bash "$root/scripts/build.sh" "$root/build-sanitize" -DGYRO_SANITIZE=ON -DGYRO_WITH_GUI=OFF \
  -DGYRO_WITH_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug

export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
status=0
xvfb-run -a -s "-screen 0 1600x1200x24" \
  ctest --test-dir "$root/build-test" --output-on-failure -j "$(nproc)" || status=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$(nproc)" || status=1
exit $status
