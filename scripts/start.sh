#!/usr/bin/env bash
# Installs what is missing, builds, and starts veltrami (or the program named: start.sh pelisond).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
mkdir -p "$root/build"
bash "$root/scripts/build.sh" "$root/build" -DGYRO_WITH_BENCHMARKS=OFF -DBUILD_TESTING=OFF
program=${1:-veltrami}
if [ -x "$root/build/bin/$program" ]; then
  exec "$root/build/bin/$program"
fi
# Until the windows exist the headless run tool is the program to show.
exec "$root/build/bin/$program-run" --summary
