#!/usr/bin/env bash
# Builds the fuzzers (build-fuzz: clang, libFuzzer, AddressSanitizer and UndefinedBehavior-
# Sanitizer) and runs each for SECONDS, one after the other, printing its runs, the frames the
# module fuzzers drove, and where a crash input was written.
set -euo pipefail

usage_line="usage: fuzz.sh [SECONDS] [FUZZER...]   (--help for more)"

usage() {
  cat <<'EOF'
usage: fuzz.sh [SECONDS] [FUZZER...]

Builds the fuzz targets of fuzz/ in build-fuzz (clang, -DPANEL_FUZZ=ON) and runs each for
SECONDS (default: 60), one at a time: gps_module, dme_module, bitmap_reader,
scenario_parser, panel_config, module_checker, live_inputs, bridge_protocol, user_files and
served_input, or only the FUZZERs named.

Each fuzzer starts from its seed corpus, fuzz/corpus/NAME/, copied into a working corpus
outside the repository, PANEL_FUZZ_WORK/NAME/corpus (default PANEL_FUZZ_WORK:
${TMPDIR:-/tmp}/panel-fuzz), which keeps growing from run to run; its output goes to
PANEL_FUZZ_WORK/NAME/log.txt. A crash input is written into PANEL_FUZZ_WORK/NAME/ and its
path printed: replay it with `build-fuzz/fuzz/NAME_fuzzer FILE`, and keep it as a
regression test in tests/fuzz_regressions/NAME/.

Exit status 1 when any fuzzer found a crash.

  -h, --help     show this text and exit

PANEL_JOBS sets the number of parallel build jobs (default: 2).
EOF
}

usage_error() {
  echo "fuzz.sh: $1; $usage_line" >&2
  exit 2
}

all=(gps_module dme_module bitmap_reader scenario_parser panel_config module_checker live_inputs bridge_protocol user_files served_input)
seconds=60
seconds_given=
chosen=()
while [ $# -gt 0 ]; do
  case $1 in
    -h|--help) usage; exit 0 ;;
    -*) usage_error "unknown option $1" ;;
    *[!0-9]*)
      [[ " ${all[*]} " == *" $1 "* ]] || usage_error "no fuzzer $1 (${all[*]})"
      chosen+=("$1"); shift ;;
    *)
      [ -z "$seconds_given" ] || usage_error "more than one time ($seconds, $1)"
      [ "$1" -gt 0 ] || usage_error "SECONDS must be at least 1"
      seconds=$1; seconds_given=1; shift ;;
  esac
done
[ ${#chosen[@]} -gt 0 ] || chosen=("${all[@]}")

cd "$(dirname "$0")/.."
root=$PWD
work=${PANEL_FUZZ_WORK:-${TMPDIR:-/tmp}/panel-fuzz}
build=build-fuzz

bash tools/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -DPANEL_FUZZ=ON -DPANEL_WERROR=ON >/dev/null
cmake --build "$build" -j "${PANEL_JOBS:-2}" --target fuzzers >/dev/null

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan-suppressions.txt:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for name in "${chosen[@]}"; do
  program=$root/$build/fuzz/${name}_fuzzer
  if [ ! -x "$program" ]; then
    echo "$name: not built (its code is not in this tree yet)"
    continue
  fi
  dir=$work/$name
  mkdir -p "$dir/corpus"
  cp -n "$root/fuzz/corpus/$name/"* "$dir/corpus/" 2>/dev/null || true
  # The real modules are the best seeds for the checker, but they are build output and stay out
  # of the repository (its own seed is a small hand-made DLL): taken from a Windows build here.
  if [ "$name" = module_checker ]; then
    cp -n "$root"/build-win/modules/*.gau "$dir/corpus/" 2>/dev/null || true
  fi
  options=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$dir/"
           -print_final_stats=1)
  [ -f "$root/fuzz/$name.dict" ] && options+=(-dict="$root/fuzz/$name.dict")
  # A leak check after every input scans the whole heap and would halve the frames driven;
  # the module fuzzers check for leaks once, at the end.
  [[ $name == *_module ]] && options+=(-detect_leaks=0)
  started=$(mktemp)
  set +e
  (cd "$dir" && "$program" "${options[@]}" corpus >log.txt 2>&1)
  code=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\)$/\1/p' "$dir/log.txt" | tail -n 1)
  frames=$(sed -n 's/^frames: \([0-9]*\)$/\1/p' "$dir/log.txt" | tail -n 1)
  crash=$(find "$dir" -maxdepth 1 -type f -newer "$started" \
          \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | head -n 1)
  rm -f "$started"
  if [ $code -eq 0 ] && [ -z "$crash" ]; then
    line="$name: ${runs:-?} runs in ${seconds}s"
    [ -n "$frames" ] && line+=", $frames frames"
    echo "$line, clean"
  else
    status=1
    echo "$name: FAILED after ${runs:-?} runs (exit $code)"
    grep -m 1 -E '^(invariant broken|==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$dir/log.txt" | sed 's/^/  /' || true
    if [ -n "$crash" ]; then
      echo "  crash input written to $crash"
    fi
    echo "  log: $dir/log.txt"
  fi
done
exit $status
