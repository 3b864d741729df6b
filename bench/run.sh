#!/usr/bin/env bash
# bench/run.sh: adpcmtbl against bench/floor.c on a 32-voice table:
# instructions (callgrind), system calls (strace -c), wall time (hyperfine).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-bench

# 1. Tools, installed with apt-get where missing.
missing=()
for tool in valgrind strace hyperfine gcc g++ cmake python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
  sudo=()
  if [[ $(id -u) != 0 ]] && command -v sudo >/dev/null; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q "${missing[@]}"
fi

# 2. The tool as users build it, and the floor.
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" --target adpcmtbl >/dev/null
gcc -O2 -o "$BUILD/floor" bench/floor.c
declare -A PROG=([adpcmtbl]=$PWD/$BUILD/adpcmtbl [floor]=$PWD/$BUILD/floor)
NAMES=(adpcmtbl floor)

# 3. A deterministic 32-voice working directory: names of 1 to 16 bytes,
# varied marks (a few end below their start), varied attributes.
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/voices"
python3 - "$WORK/voices/DATA" <<'EOF'
import struct, sys
table = bytearray()
for i in range(32):
    name = (b"VOICE%02d_ABCDEFGHIJKLMNOP" % (i + 1))[:1 + (i * 7) % 16]
    start = (i * 1237) % 40000
    end = start + (i * 389) % 3000 - (500 if i % 9 == 4 else 0)
    table += struct.pack("<16sHH7xB4x", name, start, end, (i * 37) & 0xFF)
open(sys.argv[1], "wb").write(table)
EOF
for n in $(seq 1 32); do printf 'voice %d\n' "$n" >"$WORK/voices/VOICE.$n"; done

# 4a. Both must do the same thing: same files, output, messages and status.
for p in "${NAMES[@]}"; do
  cp -r "$WORK/voices" "$WORK/check.$p"
  status=0
  (cd "$WORK/check.$p" && env -i "${PROG[$p]}" >stdout 2>stderr) || status=$?
  echo "$status" >"$WORK/check.$p/status"
done
for f in PCMTBL pcmxml.txt stdout stderr status; do
  cmp "$WORK/check.adpcmtbl/$f" "$WORK/check.floor/$f" ||
    { echo "FAIL: adpcmtbl and floor differ in $f" >&2; exit 1; }
done
echo "adpcmtbl and floor agree: PCMTBL, pcmxml.txt, stdout, stderr, status $(<"$WORK/check.floor/status")"

# 4b. Measurements, all in the same directory (outputs are overwritten).
cd "$WORK/voices"
declare -A IR CALLS
for p in "${NAMES[@]}"; do
  env -i "$(command -v valgrind)" -q --tool=callgrind \
    --callgrind-out-file="$WORK/cg.$p" "${PROG[$p]}" >/dev/null 2>&1
  IR[$p]=$(awk '/^(summary|totals):/ {print $2; exit}' "$WORK/cg.$p")
  env -i "$(command -v strace)" -c -f -o "$WORK/sc.$p" "${PROG[$p]}" >/dev/null 2>&1
  CALLS[$p]=$(awk '$NF == "total" {print $4}' "$WORK/sc.$p")
  # name calls errors, one syscall a line, for the breakdown comparison
  awk '$1 ~ /^[0-9.]+$/ && $NF != "total" {print $NF, $4, (NF == 6 ? $5 : 0)}' \
    "$WORK/sc.$p" | sort >"$WORK/calls.$p"
done
# Ten interleaved rounds of 100 runs each (1000 in all), alternating which
# goes first, so that load from other work on the machine hits both alike.
for round in $(seq 0 9); do
  order=(adpcmtbl floor); ((round % 2)) && order=(floor adpcmtbl)
  hyperfine -N --warmup 5 --runs 100 --export-json "$WORK/hf.$round.json" \
    -n "${order[0]}" "${PROG[${order[0]}]}" -n "${order[1]}" "${PROG[${order[1]}]}" >/dev/null 2>&1 || { echo "FAIL: hyperfine" >&2; exit 1; }
done
# mean, stddev and median of each over all rounds, in microseconds
read -r T_A SD_A MED_A T_F SD_F MED_F < <(python3 -c '
import json, statistics as st, sys
t = {"adpcmtbl": [], "floor": []}
for f in sys.argv[1:]:
    for x in json.load(open(f))["results"]: t[x["command"]] += x["times"]
print(*(f"{g(t[n]) * 1e6:.1f}" for n in t for g in (st.mean, st.stdev, st.median)))
' "$WORK"/hf.*.json)

# 5. The table.
row() {  # metric, adpcmtbl figure, floor figure, then the two values compared
  awk -v m="$1" -v a="$2" -v f="$3" -v x="$4" -v y="$5" 'BEGIN {
    r = x / y; printf "%-14s %18s %18s %7.4f  %s\n", m, a, f, r, (r <= 1.05 ? "yes" : "NO") }'
}
echo
printf '%-14s %18s %18s %7s  %s\n' metric adpcmtbl floor ratio 'within 5%'
row instructions "${IR[adpcmtbl]}" "${IR[floor]}" "${IR[adpcmtbl]}" "${IR[floor]}"
row syscalls "${CALLS[adpcmtbl]}" "${CALLS[floor]}" "${CALLS[adpcmtbl]}" "${CALLS[floor]}"
row "wall time (us)" "$T_A ± $SD_A" "$T_F ± $SD_F" "$T_A" "$T_F"
row "wall median" "$MED_A" "$MED_F" "$MED_A" "$MED_F"
echo
if diff -q "$WORK/calls.adpcmtbl" "$WORK/calls.floor" >/dev/null; then
  echo "system calls: same calls, same counts"
else
  echo "system calls differ (syscall calls errors; < adpcmtbl, > floor):"
  diff "$WORK/calls.adpcmtbl" "$WORK/calls.floor" | grep '^[<>]' || true
fi
