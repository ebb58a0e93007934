#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-svg-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  googletest libgtest-dev libgmock-dev libbenchmark-dev libboost-dev
  xvfb xauth fonts-liberation fonts-dejavu-core locales poppler-utils
  nlohmann-json3-dev libtbb-dev parallel qt6-translations-l10n fonts-urw-base35 ccache
  libkissfft-dev slurm-wlm munge
  python3-dev pybind11-dev python3-numpy python3-pytest python3-scipy python3-matplotlib
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests read numbers under a Russian (decimal comma) and an English (decimal point) locale.
for loc in ru_RU en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
    "${sudo_cmd[@]}" localedef -i "$loc" -f UTF-8 "$loc.UTF-8" || echo "warning: could not generate $loc.UTF-8"
  fi
done
