#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs one of them.
#   scripts/fuzz.sh dbf [seconds]   tables with their production indexes
#   scripts/fuzz.sh ini [seconds]   settings files
#   scripts/fuzz.sh csv [seconds]   comma-delimited import files
#   scripts/fuzz.sh urp [seconds]   report-definitions files (SHMKLIB.URP and BOOK.URP)
#   scripts/fuzz.sh lists [seconds] pick-list files (.001 ... .009, AUTHOR.LST ...)
# Further arguments go to libFuzzer (-print_final_stats=1, -jobs=2, ...).
# The inputs kept in tests/data/fuzz/<kind> seed the run; new findings are
# written to build-fuzz/corpus-<kind>, crashing inputs to build-fuzz/crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:?usage: scripts/fuzz.sh dbf|ini|csv|urp|lists [seconds]}
seconds=${2:-600}
shift $(($# < 2 ? $# : 2))
scripts/setup.sh
if ! command -v clang++ >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends clang
fi
[ -f build-fuzz/CMakeCache.txt ] || cmake --preset fuzz
cmake --build --preset fuzz --target "fuzz_$kind"
mkdir -p "build-fuzz/corpus-$kind"
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:detect_leaks=0}
exec "build-fuzz/fuzz/fuzz_$kind" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -artifact_prefix=build-fuzz/ "$@" "build-fuzz/corpus-$kind" "tests/data/fuzz/$kind"
