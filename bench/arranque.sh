#!/usr/bin/env bash
# Whole-process start of nemor-cli, timed from outside the process with
# hyperfine: "format 1 4 4" (next to nothing to do) and "solve" on the
# generated 1001-node model. Goal: each under 5 ms of wall time (median).
#   bench/arranque.sh [BUILD]      (default: build; builds what it needs)
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$raiz/build}"
command -v hyperfine >/dev/null || { echo "arranque: falta hyperfine (apt-get install hyperfine)" >&2; exit 2; }
cmake --build "$build" --target nemor-cli modelo_1001 >/dev/null
modelo="$(mktemp --suffix=.nmr)"
trap 'rm -f "$modelo" "$modelo.json"' EXIT
"$build/bench/modelo_1001" "$modelo"
cli="$build/cli/nemor-cli"
hyperfine -N --warmup 20 --runs 300 --export-json "$modelo.json" \
  "$cli format 1 4 4" "$cli solve $modelo"
python3 - "$modelo.json" <<'PY' 2>/dev/null || true
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print(f"median {r['median'] * 1000:.2f} ms  {r['command'].split('/')[-1]}")
PY
