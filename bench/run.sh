#!/usr/bin/env bash
# Builds the release preset and compares tarvolin with peer tools on the same data.
#   bench/run.sh [--size-mib N] [--runs N] [--only ALGORITHM] [--skip-kernels] [--skip-trees]
#                [--skip-all] [--skip-check] [--skip-scaling]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --workflow --preset release >/dev/null
exec python3 bench/compare.py --build build/release "$@"
