#!/usr/bin/env bash
# Runs every fuzz target, one after another, for a fixed time each, starting
# from its seed corpus under fuzz/corpus/<target>/. Exits non-zero when any
# target finds a crash, a leak, a timeout or runs out of memory; what it found
# is left under the artifact folder.
#
#   fuzz/run.sh [--seconds N] [--build DIR] [--artifacts DIR] [TARGET...]
#
# The build folder is one configured with CC=clang CXX=clang++ -DLUMORA_FUZZ=ON
# (default: build-fuzz beside this folder); the targets are built if missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
seconds=30
build="$root/build-fuzz"
artifacts=""
targets=()

while [[ $# -gt 0 ]]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --artifacts) artifacts="$2"; shift 2 ;;
    -h|--help) sed -n '2,11p' "${BASH_SOURCE[0]}"; exit 0 ;;
    -*) echo "fuzz/run.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done

if [[ ${#targets[@]} -eq 0 ]]; then
  for source in "$here"/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
artifacts="${artifacts:-$work/artifacts}"
mkdir -p "$artifacts"

cmake --build "$build" --target "${targets[@]}" >/dev/null

failed=()
for target in "${targets[@]}"; do
  binary="$build/fuzz/$target"
  corpus="$work/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: ${seconds}s"
  # The seeds are read, never written: new inputs go to the scratch corpus.
  if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
       "$corpus" "$here/corpus/$target" >"$work/$target.log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" || true
  else
    echo "!! $target found a failure:" >&2
    grep -E 'ERROR|SUMMARY|Test unit written' "$work/$target.log" >&2 || tail -n 30 "$work/$target.log" >&2
    failed+=("$target")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz/run.sh: failures in ${failed[*]}; inputs under $artifacts" >&2
  [[ "$artifacts" == "$work/artifacts" ]] && { keep="$(mktemp -d)"; cp -r "$artifacts" "$keep/"; echo "kept in $keep/artifacts" >&2; }
  exit 1
fi
echo "fuzz/run.sh: ${#targets[@]} targets, ${seconds}s each, nothing found"
