#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, test and run Tonvik, if missing.
set -euo pipefail
# Qt Charts' CMake files need Qt OpenGL's, which Debian's qt6-charts-dev does not pull in.
# pulseaudio and pulseaudio-utils (parec) serve the sound-server tests and measurements.
# qt6-base-private-dev lets the accessibility tests stand in for a screen reader.
# libfftw3-dev measures the band's spectrum in the tests.
packages=(build-essential cmake ninja-build pkg-config clang qt6-base-dev qt6-base-private-dev
          qt6-translations-l10n
          qt6-charts-dev libqt6opengl6-dev
          libsdl2-dev libpulse-dev libsndfile1-dev libsqlite3-dev libgtest-dev libbenchmark-dev libfftw3-dev
          xvfb xauth imagemagick pulseaudio pulseaudio-utils
          man-db bash-completion) # the manual page and completion tests
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
