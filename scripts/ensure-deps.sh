#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, when they are missing.
set -euo pipefail
# tidy is the HTML validator the record index tests run over the generated pages.
packages=(cmake make g++ pkg-config qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libqwt-qt5-dev
          qttools5-dev qttools5-dev-tools libqt5sql5 libgtest-dev libgmock-dev libbenchmark-dev
          xvfb x11vnc iproute2 clang fonts-dejavu-core ccache tidy)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
