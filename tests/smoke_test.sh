#!/bin/sh
# Smoke test of an installed adpcmtbl: tests/smoke_test.sh COMMAND..., where
# the arguments are the command that runs it (adpcmtbl, build/adpcmtbl,
# wine /path/to/adpcmtbl.exe: it runs in a temporary folder, so only its
# first word may be a relative path).  ADPCMTBL_VERSION, if set, is the
# version --version must name.  The table has three voices, VOICE.2
# missing; console text is compared with CR removed.
set -u
[ $# -gt 0 ] || { echo "usage: $0 COMMAND..." >&2; exit 2; }
case $1 in /*) ;; */*) first=$PWD/$1 && shift && set -- "$first" "$@" ;; esac
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT && cd "$dir" || exit 1
failed=0
bytes() { for byte; do printf '%b' "\\0$(printf %o "$byte")"; done; }
entry() {  # name start-mark end-mark attribute
  printf '%-16s' "$1" | tr ' ' '\000'
  bytes $(($2 & 255)) $(($2 >> 8)) $(($3 & 255)) $(($3 >> 8)) 0 0 0 0 0 0 0 "$4" 0 0 0 0
}
# Runs the tool with the arguments given; its output lands in NAME.out/.err.
run() {  # name expected-status arguments...
  name=$1 expected=$2
  shift 2
  status=0
  "$@" >"$name.raw" 2>"$name.raw-err" || status=$?
  tr -d '\r' <"$name.raw" >"$name.out" && tr -d '\r' <"$name.raw-err" >"$name.err"
  [ "$status" = "$expected" ] || { echo "FAIL: $* exited with $status, not $expected"; failed=1; }
}
same() {  # what expected-file actual-file
  cmp -s "$2" "$3" && return
  echo "FAIL: $1 differs; expected, then what the tool gave:"
  od -An -c "$2"; od -An -c "$3"
  failed=1
}
{ entry KICK 0 0x0a02 0x10; entry SNARE 0x100 0x200 0; entry CLAP 0x1000 0x1400 0xff; } >DATA
: >VOICE.1 && : >VOICE.3
tool=$*

run table 0 "$@"
printf 'PCM NO. 1:KICK             ADR:00000\nPCM NO. 3:CLAP             ADR:00a10\n' >listing
same "the listing of $tool" listing table.out
printf 'Velomira ADPCM Table maker\nNot found "VOICE.2"\n' >messages
same "the messages of $tool" messages table.err
printf '\t\t\t<rom type="adpcm" offset="0x%s">voice.%s</rom>\r\n' 00000 1 00a10 3 >map
same "pcmxml.txt of $tool" map pcmxml.txt
{ bytes 0 0 0x80 2 0 0 0x10 0  0 0 0 0 0 0 0 0  0x84 2 0x84 3 0 0 0xff 0
  i=3 && while [ $i -lt 32 ]; do bytes 0 0 0 0 0 0 0 0; i=$((i + 1)); done; } >address_table
same "PCMTBL of $tool" address_table PCMTBL

run unchecked 0 "$@" -n
printf 'PCM NO. 1:KICK             ADR:00000\nPCM NO. 2:SNARE            ADR:00a10
PCM NO. 3:CLAP             ADR:00b20\n' >listing
same "the listing of $tool -n" listing unchecked.out
printf 'Velomira ADPCM Table maker\n' >messages
same "the messages of $tool -n" messages unchecked.err

run version 0 "$@" --version
first_line=$(head -n 1 version.out)
version=${ADPCMTBL_VERSION:-[0-9]*.[0-9]*.[0-9]*}
# shellcheck disable=SC2254 # where ADPCMTBL_VERSION is unset, a pattern
case $first_line in
  "adpcmtbl "$version) ;;
  *) echo "FAIL: $tool --version printed \"$first_line\" first"; failed=1 ;;
esac
[ "$failed" = 0 ] && echo "smoke test passed: $tool"
exit "$failed"
