#!/usr/bin/env bash
# The board's build: armhf, cross-compiled with Debian's cross compiler and multiarch packages.
#   ./cross.sh build              installs what it needs (scripts/cross-deps.sh), builds into
#                                 build-cross/ (program, simulator, tests)
#   ./cross.sh package            builds and makes the Debian package build-cross/corvane_*_armhf.deb
#   ./cross.sh install DIR        lays out the board's files below DIR (DIR/usr/bin/corvane, ...)
#   ./cross.sh test [CTEST ARGS]  builds and runs the test suite under qemu-user
# Everything runs at the lowest priority (the machine is shared).
set -euo pipefail
cd "$(dirname "$0")"
dir=build-cross
command="${1:-}"
[ $# -gt 0 ] && shift

build() {
  bash scripts/ensure-deps.sh
  bash scripts/cross-deps.sh "$dir"
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  nice -n 19 cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake \
    -DCORVANE_CROSS_SYSROOT="$PWD/$dir/sysroot" -DCORVANE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${launcher[@]}" >/dev/null
  nice -n 19 cmake --build "$dir" -j"$(nproc)" "$@"
}

# Runs a command where ARM programs start through qemu-user like native ones: a private user and
# mount namespace with its own binfmt_misc registration, so that the tests can start the
# simulator and themselves. This machine's own binfmt settings are not touched. Without
# namespaces the tests still run through the emulator, but those that start ARM programs fail.
with_arm_binfmt() {
  local qemu
  qemu="$(command -v qemu-arm-static || command -v qemu-arm)"
  # ELF, 32-bit, little-endian, executable or shared object, machine ARM (40).
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x28\x00'
  local mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  if unshare --user --map-root-user --mount --propagation private true 2>/dev/null; then
    unshare --user --map-root-user --mount --propagation private bash -c '
      mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc &&
      printf ":corvane-arm:M::%s:%s:%s:F" "$1" "$2" "$3" > /proc/sys/fs/binfmt_misc/register || exit 97
      shift 3
      exec "$@"' with-arm-binfmt "$magic" "$mask" "$qemu" "$@"
  else
    echo "No user namespace: tests that start ARM programs will fail" >&2
    "$@"
  fi
}

case "$command" in
  build)
    build "$@"
    ;;
  package)
    build
    (cd "$dir" && nice -n 19 cpack -G DEB >/dev/null)
    package="$(ls -t "$dir"/corvane_*_armhf.deb | head -1)"
    echo "$package"
    dpkg-deb --info "$package"
    dpkg-deb --contents "$package"
    ;;
  install)
    [ $# -eq 1 ] || { echo "usage: $0 install DIR" >&2; exit 2; }
    build
    DESTDIR="$(realpath -m "$1")" cmake --install "$dir" --prefix /usr
    ;;
  test)
    build
    # qemu looks for the guest's files in QEMU_LD_PREFIX first: there the armhf programs find a
    # preload list with a shim that keeps Qt's QProcess away from what qemu cannot emulate
    # (scripts/qemu-pidfd-shim.c). Programs of this machine never read it.
    prefix="$PWD/$dir/qemu-root"
    mkdir -p "$prefix/etc"
    arm-linux-gnueabihf-gcc -O2 -shared -fPIC scripts/qemu-pidfd-shim.c -o "$prefix/pidfd-shim.so" -ldl
    echo "$prefix/pidfd-shim.so" > "$prefix/etc/ld.so.preload"
    export QEMU_LD_PREFIX="$prefix"
    export QT_QPA_PLATFORM=offscreen
    unset DISPLAY CORVANE_ROOT
    start=$(date +%s)
    status=0
    (cd "$dir" && with_arm_binfmt nice -n 19 ctest --output-on-failure -j"$(nproc)" "$@") || status=$?
    echo "Emulated test run: $(( $(date +%s) - start )) s"
    exit "$status"
    ;;
  *)
    echo "usage: $0 build|package|install DIR|test [ctest arguments]" >&2
    exit 2
    ;;
esac
