#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and nothing when they are present.
set -euo pipefail

packages=(
  # native build, unit tests, benchmarks
  g++ cmake ninja-build make git pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
  # fuzzing (libFuzzer with ASan and UBSan)
  clang libclang-rt-14-dev
  # cross build of the Windows program
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # running it: Wine on a virtual X display with a window manager, Japanese fonts and locale
  wine wine64 fonts-wine xvfb xauth openbox x11-utils xdotool imagemagick fonts-ipafont-gothic
  locales
  # end-to-end helpers: network namespaces, an HTTP server, the clipboard from X
  iproute2 python3 xclip
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
