#!/usr/bin/env bash
# What the armhf cross-build needs, from Debian's packages (multiarch, "dpkg --add-architecture
# armhf" done once): installs the packages that sit beside the native ones, and unpacks those
# that cannot (Qwt's armhf packages would replace the native Qwt) into <build dir>/sysroot, which
# cmake/armhf-toolchain.cmake points at.
#   scripts/cross-deps.sh [BUILD_DIR]      default build-cross
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-cross}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

if ! dpkg --print-foreign-architectures | grep -qx armhf; then
  $SUDO dpkg --add-architecture armhf
  $SUDO apt-get update -qq
fi

installed=(crossbuild-essential-armhf qtbase5-dev:armhf libqt5svg5-dev:armhf libqt5opengl5:armhf
           qemu-user-static qttools5-dev-tools qttools5-dev file)
missing=()
for p in "${installed[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # Never at the price of a native package: refuse when apt would remove anything.
  if $SUDO apt-get install -s --no-install-recommends "${missing[@]}" | grep -q '^Remv'; then
    echo "apt-get would remove packages to install ${missing[*]}; not installing:" >&2
    $SUDO apt-get install -s --no-install-recommends "${missing[@]}" | grep '^Remv' >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Qwt's armhf runtime and headers, unpacked only.
unpacked=(libqwt-qt5-6:armhf libqwt-qt5-dev:armhf)
sysroot="$build/sysroot"
stamp="$sysroot/.unpacked"
if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "${unpacked[*]}" ]; then
  rm -rf "$sysroot"
  mkdir -p "$sysroot" "$build/debs"
  (cd "$build/debs" && rm -f ./*.deb && { apt-get download "${unpacked[@]}" || { $SUDO apt-get update -qq && apt-get download "${unpacked[@]}"; }; })
  for deb in "$build"/debs/*.deb; do
    dpkg -x "$deb" "$sysroot"
  done
  echo "${unpacked[*]}" > "$stamp"
fi
