#!/usr/bin/env bash
# bench/run.sh: the cost promise of docs/development.md, checked.  Builds
# adpcmtbl as users build it, its static build and bench/floor.c (the same
# run as one plain C function) with the same flags, and on a 32-voice table
# fails unless all three make the same files, output and status, and the
# tool makes the floor's system calls, in the floor's order, and takes at
# most 3% more instructions than it (callgrind, which counts the same every
# time).  With --wall it also times them (hyperfine) and prints the table.
#   bench/run.sh [--wall]     (needs valgrind and strace; --wall, hyperfine)
set -euo pipefail
cd "$(dirname "$0")/.."
wall=false
[ "${1:-}" = --wall ] && wall=true
bench_build=build-bench
slack_percent=3

fail() { echo "bench/run.sh: $*" >&2; exit 1; }

# 1. The tool as users build it, its static build and the floor.
cmake -S . -B "$bench_build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DADPCMTBL_BENCH=ON >/dev/null
cmake --build "$bench_build" --parallel 2 --target adpcmtbl adpcmtbl_portable adpcmtbl_floor >/dev/null
declare -A prog=([adpcmtbl]=$PWD/$bench_build/adpcmtbl [static]=$PWD/$bench_build/portable/adpcmtbl
                 [floor]=$PWD/$bench_build/floor)
names=(adpcmtbl static floor)

# 2. A fixed 32-voice working directory: names of 1 to 16 bytes, varied
# marks (a few end below their start), varied attributes.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/voices"
python3 - "$work/voices/DATA" <<'EOF'
import struct, sys
table = bytearray()
for i in range(32):
    name = (b"VOICE%02d_ABCDEFGHIJKLMNOP" % (i + 1))[:1 + (i * 7) % 16]
    start = (i * 1237) % 40000
    end = start + (i * 389) % 3000 - (500 if i % 9 == 4 else 0)
    table += struct.pack("<16sHH7xB4x", name, start, end, (i * 37) & 0xFF)
open(sys.argv[1], "wb").write(table)
EOF
for n in $(seq 1 32); do printf 'voice %d\n' "$n" >"$work/voices/VOICE.$n"; done

# 3. All must do the same thing: same files, output, messages and status.
for p in "${names[@]}"; do
  cp -r "$work/voices" "$work/check.$p"
  status=0
  (cd "$work/check.$p" && env -i "${prog[$p]}" >stdout 2>stderr) || status=$?
  echo "$status" >"$work/check.$p/status"
done
for p in adpcmtbl static; do
  for f in PCMTBL pcmxml.txt stdout stderr status; do
    cmp -s "$work/check.floor/$f" "$work/check.$p/$f" && continue
    if [ "$f" = PCMTBL ]; then
      cmp "$work/check.floor/$f" "$work/check.$p/$f" >&2 || true
    else
      # The first line each has that the other lacks.
      changes=$(diff "$work/check.floor/$f" "$work/check.$p/$f" || true)
      echo "$f, < floor, > $p:" >&2
      { grep -m 1 '^<' <<<"$changes"; grep -m 1 '^>' <<<"$changes"; } >&2 || true
    fi
    fail "$p and floor differ in $f"
  done
done
echo "adpcmtbl, static and floor agree: PCMTBL, pcmxml.txt, stdout, stderr, status $(<"$work/check.floor/status")"

# 4. Instructions and system calls, all in the same directory (the outputs
# are overwritten).  A call is its name and, if it failed, its error.
cd "$work/voices"
declare -A ir calls
for p in "${names[@]}"; do
  env -i "$(command -v valgrind)" -q --tool=callgrind \
    --callgrind-out-file="$work/cg.$p" "${prog[$p]}" >/dev/null 2>&1
  ir[$p]=$(awk '/^(summary|totals):/ {print $2; exit}' "$work/cg.$p")
  env -i "$(command -v strace)" -f -o "$work/st.$p" "${prog[$p]}" >/dev/null 2>&1
  sed -En 's/^([0-9]+ +)?([a-z0-9_]+)\(.*= -1 ([A-Z0-9]+) .*/\2 \3/p; t
           s/^([0-9]+ +)?([a-z0-9_]+)\(.*/\2/p' "$work/st.$p" >"$work/calls.$p"
  calls[$p]=$(wc -l <"$work/calls.$p")
done
row() {  # what adpcmtbl static floor
  awk -v m="$1" -v a="$2" -v s="$3" -v f="$4" \
    'BEGIN { printf "%-14s %12s %12s %12s %10.4f\n", m, a, s, f, a / f }'
}
printf '%-14s %12s %12s %12s %10s\n' '' adpcmtbl static floor adpcmtbl/floor
row instructions "${ir[adpcmtbl]}" "${ir[static]}" "${ir[floor]}"
row 'system calls' "${calls[adpcmtbl]}" "${calls[static]}" "${calls[floor]}"

if $wall; then
  # Ten interleaved rounds of 100 runs each (1000 in all), rotating which
  # goes first, so that load from other work on the machine hits all alike;
  # the median of all, in microseconds.
  for round in $(seq 0 9); do
    order=("${names[@]:round % 3}" "${names[@]:0:round % 3}")
    args=()
    for p in "${order[@]}"; do args+=(-n "$p" "${prog[$p]}"); done
    hyperfine -N --warmup 5 --runs 100 --export-json "$work/hf.$round.json" "${args[@]}" \
      >/dev/null 2>&1 || fail "hyperfine failed"
  done
  python3 -c '
import json, statistics as st, sys
t = {}
for f in sys.argv[1:]:
    for x in json.load(open(f))["results"]: t.setdefault(x["command"], []).extend(x["times"])
print("%-14s" % "wall median", *("%10.1f us" % (st.median(t[n]) * 1e6) for n in ("adpcmtbl", "static", "floor")))
' "$work"/hf.*.json
fi

# 5. The promise.
if ! diff "$work/calls.floor" "$work/calls.adpcmtbl" >"$work/calls.diff"; then
  echo "system calls, < floor, > adpcmtbl:" >&2
  grep '^[<>]' "$work/calls.diff" | head -n 10 >&2
  fail "adpcmtbl does not make the floor's system calls in the floor's order"
fi
if ((ir[adpcmtbl] * 100 > ir[floor] * (100 + slack_percent))); then
  fail "adpcmtbl takes ${ir[adpcmtbl]} instructions, more than ${slack_percent}% over the floor's ${ir[floor]}"
fi
echo "cost: the floor's system calls in its order, and instructions within ${slack_percent}% of it"
