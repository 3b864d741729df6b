#!/usr/bin/env bash
# bench/run.sh: adpcmtbl, dynamically and statically linked, against
# bench/floor.c on a 32-voice table: instructions (callgrind), system calls
# (strace -c), wall time (hyperfine).  All three are built by the project with
# the same flags.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-bench

# 1. Tools, installed with apt-get where missing.
missing=()
for tool in valgrind strace hyperfine gcc g++ cmake python3; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
  echo "bench/run.sh: installing what is missing, with apt-get: ${missing[*]}" >&2
  sudo=()
  if [[ $(id -u) != 0 ]] && command -v sudo >/dev/null; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q "${missing[@]}"
fi

# 2. The tool as users build it, its static build and the floor.
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DADPCMTBL_BENCH=ON >/dev/null
cmake --build "$BUILD" --parallel --target adpcmtbl adpcmtbl_portable adpcmtbl_floor >/dev/null
declare -A PROG=([adpcmtbl]=$PWD/$BUILD/adpcmtbl [static]=$PWD/$BUILD/portable/adpcmtbl
                 [floor]=$PWD/$BUILD/floor)
NAMES=(adpcmtbl static floor)

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

# 4a. All must do the same thing: same files, output, messages and status.
for p in "${NAMES[@]}"; do
  cp -r "$WORK/voices" "$WORK/check.$p"
  status=0
  (cd "$WORK/check.$p" && env -i "${PROG[$p]}" >stdout 2>stderr) || status=$?
  echo "$status" >"$WORK/check.$p/status"
done
for p in adpcmtbl static; do
  for f in PCMTBL pcmxml.txt stdout stderr status; do
    cmp "$WORK/check.$p/$f" "$WORK/check.floor/$f" ||
      { echo "FAIL: $p and floor differ in $f" >&2; exit 1; }
  done
done
echo "adpcmtbl, static and floor agree: PCMTBL, pcmxml.txt, stdout, stderr, status $(<"$WORK/check.floor/status")"

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
# Ten interleaved rounds of 100 runs each (1000 in all), rotating which goes
# first, so that load from other work on the machine hits all alike.
for round in $(seq 0 9); do
  order=("${NAMES[@]:round % 3}" "${NAMES[@]:0:round % 3}")
  args=()
  for p in "${order[@]}"; do args+=(-n "$p" "${PROG[$p]}"); done
  hyperfine -N --warmup 5 --runs 100 --export-json "$WORK/hf.$round.json" "${args[@]}" \
    >/dev/null 2>&1 || { echo "FAIL: hyperfine" >&2; exit 1; }
done
# mean, stddev and median of each over all rounds, in microseconds
declare -A MEAN SD MED
while read -r p mean sd med; do
  MEAN[$p]=$mean SD[$p]=$sd MED[$p]=$med
done < <(python3 -c '
import json, statistics as st, sys
t = {}
for f in sys.argv[1:]:
    for x in json.load(open(f))["results"]: t.setdefault(x["command"], []).extend(x["times"])
for n, v in t.items():
    print(n, *(f"{g(v) * 1e6:.1f}" for g in (st.mean, st.stdev, st.median)))
' "$WORK"/hf.*.json)

# 5. The table: each figure, then the ratios of the dynamic build to the
# floor, the static build to the dynamic one, and the static build to the
# floor.
row() {  # metric, three figures shown, then the three values compared
  awk -v m="$1" -v a="$2" -v s="$3" -v f="$4" -v x="$5" -v y="$6" -v z="$7" 'BEGIN {
    printf "%-14s %16s %16s %16s %9.4f %9.4f %9.4f\n", m, a, s, f, x / z, y / x, y / z }'
}
echo
printf '%-14s %16s %16s %16s %9s %9s %9s\n' metric adpcmtbl static floor \
  'dyn/floor' 'stat/dyn' 'stat/flr'
row instructions "${IR[adpcmtbl]}" "${IR[static]}" "${IR[floor]}" \
  "${IR[adpcmtbl]}" "${IR[static]}" "${IR[floor]}"
row syscalls "${CALLS[adpcmtbl]}" "${CALLS[static]}" "${CALLS[floor]}" \
  "${CALLS[adpcmtbl]}" "${CALLS[static]}" "${CALLS[floor]}"
row "wall mean (us)" "${MEAN[adpcmtbl]} ± ${SD[adpcmtbl]}" "${MEAN[static]} ± ${SD[static]}" \
  "${MEAN[floor]} ± ${SD[floor]}" "${MEAN[adpcmtbl]}" "${MEAN[static]}" "${MEAN[floor]}"
row "wall median" "${MED[adpcmtbl]}" "${MED[static]}" "${MED[floor]}" \
  "${MED[adpcmtbl]}" "${MED[static]}" "${MED[floor]}"
echo
if ((IR[adpcmtbl] <= IR[floor])); then
  echo "instructions: adpcmtbl takes no more than the floor"
else
  echo "instructions: adpcmtbl takes $((IR[adpcmtbl] - IR[floor])) more than the floor"
fi
if diff -q "$WORK/calls.adpcmtbl" "$WORK/calls.floor" >/dev/null; then
  echo "system calls: adpcmtbl and floor make the same calls, with the same counts"
else
  echo "system calls differ (syscall calls errors; < adpcmtbl, > floor):"
  diff "$WORK/calls.adpcmtbl" "$WORK/calls.floor" | grep '^[<>]' || true
fi
