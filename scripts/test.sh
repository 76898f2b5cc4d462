#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Set-up command 2: installs what is missing, builds the test build
# (AddressSanitizer + UndefinedBehaviorSanitizer), runs every test through
# ctest, runs the writer's tests again under ThreadSanitizer, then builds the
# release build (build/release, without tests) and checks its install and its
# Debian package, then builds the libFuzzer targets with clang and runs each
# for a bounded time. Any failure ends the script with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFERNPACK_SANITIZE=ON
cmake --build build/test --parallel "$jobs"
ctest --test-dir build/test --output-on-failure --parallel "$jobs"

# The libraries' worker threads under ThreadSanitizer: a small tree of its
# own that builds only the writer's and the extractor's suites (and the
# libraries they load).
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFERNPACK_TSAN=ON
cmake --build build/tsan --target zip_tests unzdll_tests --parallel "$jobs"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build/tsan --output-on-failure --parallel "$jobs" -L 'zip|unz'

# The package is made from a release build: instrumented programs do not
# belong in it. The same tree as scripts/run.sh and scripts/package.sh.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERNPACK_TESTS=OFF
cmake --build build/release --parallel "$jobs"
ctest --test-dir build/release --output-on-failure -L packaging

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFERNPACK_FUZZ=ON
cmake --build build/fuzz --target fuzzers --parallel "$jobs"
ctest --test-dir build/fuzz --output-on-failure
