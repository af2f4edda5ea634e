#!/usr/bin/env bash
# The sanitizer run: builds the core, storage and command line, their tests and the fuzz targets with
# AddressSanitizer and UndefinedBehaviorSanitizer (clang, into ./build-asan), then runs those tests, a
# randomized solve of every circuit on first-use and realistic sheets, and a short run of each fuzzer.
# Any sanitizer report fails the run. Tunable: SANITIZE_RANDOM_SHEETS (realistic sheets per circuit,
# default 300), SANITIZE_RANDOM_SECONDS (time budget per circuit, default 5), SANITIZE_FUZZ_SECONDS
# (fuzzing per target, default 10).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 \
    -DCMAKE_CXX_COMPILER=clang++ -DVALVENIX_SANITIZE=ON -DVALVENIX_FUZZ=ON -DVALVENIX_BUILD_BENCH=OFF \
    -DVALVENIX_FUZZ_SECONDS="${SANITIZE_FUZZ_SECONDS:-10}" >/dev/null
cmake --build build-asan -j "$(nproc)" --target valvenix-cli test_core test_storage test_cli \
    fuzz_value_parser fuzz_markup fuzz_settings fuzz_model_rows fuzz_spice_model fuzz_picture_stream \
    fuzz_descriptions

# Fontconfig keeps its caches until the process ends; LeakSanitizer is told so by name, and of nothing
# else.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
export VALVENIX_RANDOM_SHEETS="${SANITIZE_RANDOM_SHEETS:-300}"
export VALVENIX_RANDOM_SECONDS="${SANITIZE_RANDOM_SECONDS:-5}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan -L '^(test_core|test_storage|test_cli|fuzz)$' -j "$(nproc)" --output-on-failure
