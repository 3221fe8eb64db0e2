#!/bin/sh
# Installs every Debian package the project needs to build, test, benchmark and fuzz.
# Safe to run more than once. Needs root (or sudo).
set -eu
SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
  build-essential cmake pkg-config git ca-certificates \
  clang libclang-rt-14-dev \
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev libxcb1-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libjpeg-dev libjpeg-turbo-progs libpng-dev zlib1g-dev libgif-dev libtiff-dev libarchive-dev libuchardet-dev \
  libgcab-dev gcab cabextract libarchive-tools libsqlite3-dev sqlite3 libblkid-dev libwebp-dev webp \
  xdg-utils shared-mime-info desktop-file-utils libglib2.0-bin \
  fonts-ipafont-gothic fonts-dejavu-core \
  xvfb xauth xdotool xclip x11-utils imagemagick python3 python3-pil libwmf-bin gsfonts \
  mingw-w64-common ccache locales
# A locale with a decimal comma, for the tests that check that numbers are read and
# written alike whatever the process locale is (they are skipped without one).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
