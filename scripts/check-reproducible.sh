#!/usr/bin/env bash
# Builds the shipped i686 setup.exe twice, from two source folders into two
# build folders under build/reproducible/, and fails unless the two files are
# byte-identical: no link time stamp and no build path may reach the binary.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD/build/reproducible"
rm -rf "$root"
mkdir -p "$root/source-b"
# The second source folder: the same files at another path.
git ls-files -z | xargs -0 tar -cf - | tar -xf - -C "$root/source-b"
build() {  # source folder, build folder
  cmake -S "$1" -B "$2" --toolchain "$1/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DSETUP_TESTS=OFF >/dev/null
  cmake --build "$2" --target setup -j2 >/dev/null
}
build "$PWD" "$root/a"
build "$root/source-b" "$root/b-elsewhere"
if cmp "$root/a/setup.exe" "$root/b-elsewhere/setup.exe"; then
  echo "reproducible: $(sha256sum <"$root/a/setup.exe" | cut -d' ' -f1) ($(stat -c %s "$root/a/setup.exe") bytes) from both folders"
  rm -rf "$root"
else
  echo "not reproducible: $root/a/setup.exe and $root/b-elsewhere/setup.exe differ"
  exit 1
fi
