#!/bin/bash
# Sets up the machine (as root: Debian packages, the Wine prefix and its
# fonts), builds the native and the Windows builds and runs every test:
# natively under AddressSanitizer and UBSan, and under Wine with Xvfb.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=$(nproc)

bash tools/setup.sh

echo "== native build (sanitizers)"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

echo "== fuzz targets (clang, libFuzzer): a short run of each reader"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DOVELIN_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
ctest --test-dir build/fuzz -R '^fuzz_' --output-on-failure -j 4

echo "== Windows build (tests under Wine)"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build build/win -j "$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/win --output-on-failure
