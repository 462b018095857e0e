#!/usr/bin/env bash
# Soak: the nine monitors at interval 0 against a loopback board server, with
# keyword swaps every second, resident memory sampled every 10 s. Fails when
# memory grows after the first minute beyond the tolerance. Loopback only.
#
#   bench/soak.sh [--minutes N] [--build DIR] [--tolerance-mb T]
#
# The build folder (default: build beside this folder) is built for the driver
# if needed. Takes N minutes (default 10) and both cores.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
minutes=10
build="$root/build"
tolerance=4

while [[ $# -gt 0 ]]; do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --tolerance-mb) tolerance="$2"; shift 2 ;;
    -h|--help) sed -n '2,9p' "${BASH_SOURCE[0]}"; exit 0 ;;
    *) echo "bench/soak.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

cmake --build "$build" --target soak_driver >/dev/null
exec "$build/bench/soak_driver" --minutes "$minutes" --sample-seconds 10 --tolerance-mb "$tolerance" --interval 0
