#!/usr/bin/env bash
# Installs the build into a scratch root and packs it as a .deb: both programs (with the windows)
# and both run tools and gyro-study must sit beside their data files, reachable from bin, the
# programs with desktop entries. Built without the windows (KIND tools), nothing links Qt and
# the package does not ask for it.
#   check_install.sh BUILD_DIR gui|tools
set -euo pipefail
build=$1 kind=${2:-gui}
python=${3:-}  # the Python the gyrosim module was built for, when it was
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

tools=(veltrami-run veltrami.dat pelisond-run pelisond.dat gyro-study)
programs=(veltrami textur1.bmp pelisond)
files=("${tools[@]}")
[[ $kind == gui ]] && files+=("${programs[@]}")

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
dir="$scratch/root/usr/lib/gyrosim"
for f in "${files[@]}"; do
  [ -e "$dir/$f" ] || { echo "missing after install: $f"; exit 1; }
done
for f in veltrami-run pelisond-run gyro-study; do
  [ -L "$scratch/root/usr/bin/$f" ] || { echo "no launcher for $f in bin"; exit 1; }
done
if [[ $kind == gui ]]; then
  for f in veltrami pelisond; do
    [ -L "$scratch/root/usr/bin/$f" ] || { echo "no launcher for $f in bin"; exit 1; }
    [ -f "$scratch/root/usr/share/applications/$f.desktop" ] || { echo "no desktop entry for $f"; exit 1; }
    [ -f "$scratch/root/usr/share/icons/hicolor/scalable/apps/$f.svg" ] || { echo "no icon for $f"; exit 1; }
  done
else
  for f in veltrami-run pelisond-run gyro-study; do
    if ldd "$dir/$f" | grep -q libQt; then echo "$f links Qt in a build without the windows"; exit 1; fi
  done
fi
# The run tool started through its link finds the data file beside the real executable.
(cd "$scratch" && "$scratch/root/usr/bin/veltrami-run" --summary | grep -q '"SampleCount": 1200,') \
  || { echo "installed veltrami-run did not run on its shipped data"; exit 1; }
(cd "$scratch" && "$scratch/root/usr/bin/pelisond-run" --summary | grep -q '"SampleCount": 3966,') \
  || { echo "installed pelisond-run did not run on its shipped data"; exit 1; }
# The Python package lands in that Python's packages and finds the data files from there.
if [ -n "$python" ]; then
  packages=$(echo "$scratch"/root/usr/lib/python3*/dist-packages)
  [ -f "$packages/gyrosim/__init__.py" ] || { echo "missing after install: the gyrosim Python package"; exit 1; }
  (cd "$scratch" && PYTHONPATH="$packages" "$python" -c 'import gyrosim; r = gyrosim.Model("pelisond").run(); assert (r.status, len(r)) == ("ok", 3967), r') \
    || { echo "installed gyrosim did not run on the shipped data"; exit 1; }
fi

(cd "$build" && cpack -G DEB -B "$scratch/pkg" >/dev/null)
deb=$(ls "$scratch"/pkg/*.deb)
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in "${files[@]}"; do
  grep -qx "./usr/lib/gyrosim/$f" <<<"$listing" || { echo "package lacks usr/lib/gyrosim/$f"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
if [ -n "$python" ]; then
  grep -q "^./usr/lib/python3[^/]*/dist-packages/gyrosim/_gyrosim.*\.so$" <<<"$listing" || { echo "package lacks the gyrosim module"; exit 1; }
  grep -q python3-numpy <<<"$depends" || { echo "package does not depend on numpy"; exit 1; }
fi
if [[ $kind == gui ]]; then
  grep -q libqt6widgets6 <<<"$depends" || { echo "package does not depend on Qt"; exit 1; }
  # The graphs' spectrum loads kissfft: the package names the Debian package that holds it.
  for lib in $(ldd "$dir/pelisond" "$dir/veltrami" 2>/dev/null | awk '/kissfft/ {print $3}' | sort -u); do
    owner=$(dpkg -S "$(readlink -f "$lib")" 2>/dev/null | cut -d: -f1)
    [ -z "$owner" ] || grep -q "$owner" <<<"$depends" || { echo "package does not depend on $owner"; exit 1; }
  done
else
  [[ $(dpkg-deb -f "$deb" Package) == gyrosim-tools ]] || { echo "the package without the windows is not gyrosim-tools"; exit 1; }
  if grep -qi qt <<<"$depends"; then echo "package without the windows depends on Qt: $depends"; exit 1; fi
  grep -q libtbb12 <<<"$depends" || { echo "package does not depend on TBB"; exit 1; }
fi
echo "install and package ($kind) hold the programs with their data files"
