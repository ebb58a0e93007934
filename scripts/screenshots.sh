#!/usr/bin/env bash
# Screenshots for the README: both 3D views, each whole window with the shipped data,
# half-way through its animation, rendered by Mesa's software renderer under Xvfb; and
# veltrami's graph window comparing a recalculated run with a kept one; pelisond's nominal
# graph zoomed to single drive cycles, its envelopes over the whole run and its spectrum.
#   scripts/screenshots.sh [BUILD_DIR]     (default: build-screenshots beside the sources)
# Writes docs/veltrami-view.png, docs/pelisond-view.png, docs/veltrami-comparison.png,
# docs/pelisond-zoom.png, docs/pelisond-envelopes.png and docs/pelisond-frequencies.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-screenshots}

# The view tests take the pictures; build them only when they are missing or stale.
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGYRO_WITH_BENCHMARKS=OFF > "$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; exit 1; }
fi
cmake --build "$build" --target veltrami_view_tests pelisond_view_ru veltrami_gui_ru graph_rendering_tests

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
run() {
  xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
    env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 \
        GYRO_EXPECTED_DECIMAL=comma GYRO_SCREENSHOTS="$shots" "$@"
}
run "$build/tests/veltrami_view_tests" --gtest_filter='ViewMenu.WindowPictureMidAnimationShowsThePanelAtItsPlace'
run "$build/tests/pelisond_view_ru" --gtest_filter='ViewMenu.WindowPictureMidAnimationShowsThePanelAtItsPlace'
run "$build/tests/veltrami_gui_ru" --gtest_filter='VeltramiWindows.KeptRunStaysBehindRecalculatedRunsUntilRemoved'
# The graph pictures: the plot boxes as the windows draw them.
run env GYRO_GRAPH_IMAGES="$shots" \
  "$build/tests/graph_rendering_tests" --gtest_filter='RenderedGraph.ZoomEnvelopesAndSpectrumOfTheNominalTuningForkRun'

mkdir -p "$root/docs"
for name in veltrami-view pelisond-view veltrami-comparison pelisond-zoom pelisond-envelopes pelisond-frequencies; do
  [ -f "$shots/$name.png" ] || { echo "no screenshot $name.png was taken" >&2; exit 1; }
  # A window of few colours: Qt's PNG stays in the tens of kilobytes as it is.
  cp "$shots/$name.png" "$root/docs/$name.png"
  echo "docs/$name.png: $(stat -c %s "$root/docs/$name.png") bytes"
done
