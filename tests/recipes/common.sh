# shellcheck shell=bash
# common.sh: what the recipe scenarios share: one scenario run by name in a
# scratch folder of its own, and on a failure a last word that names the
# scenario, its folder and what differed.  Sourced by cmake_recipe.sh and
# make_recipe.sh, which set |recipe| first and end with run_scenario "$@".
set -eEuo pipefail
export LC_ALL=C

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
script=$(realpath "$0")  # the recipe's script, which sources this file
prefix=""   # where the tool is installed
tool=""     # $prefix/bin/adpcmtbl
scratch=""  # the scenario's own folder, kept when it fails
scenario="" test_name=""
step=""     # what the scenario was doing, when a row of it says so
not_run=77  # a scenario's exit status when it cannot run here: CTest's Not Run
: "${recipe:?set by the script that sources this file}"

# Ends the scenario, saying what differed; the first word of a failure wins,
# so a failed subshell is not reported again by the command that ran it.
fail() {  # what differed...
  if [ ! -e "$scratch/.failed" ]; then
    : >"$scratch/.failed"
    printf 'FAIL %s: %s%s\n  scenario folder, kept: %s\n' "$test_name" "${step:+$step: }" "$*" \
      "$scratch" >&2
  fi
  exit 1
}

# Fails unless the two files hold the same bytes.
same_file() {  # expected actual
  cmp -s -- "$1" "$2" || fail "$2 differs from $1 ($(cmp -- "$1" "$2" 2>&1 | head -n 1 || :))"
}

# Fails unless the command exits with the status given; its output is shown
# when it does not.
status_is() {  # status command...
  local want=$1 status=0
  shift
  "$@" >"$scratch/.output" 2>&1 || status=$?
  if [ "$status" != "$want" ]; then
    cat "$scratch/.output" >&2
    fail "$*: exit status $status, expected $want"
  fi
}

# Every entry below |folder| but those named, by type, mode, name and link
# target, and the bytes of each file that can be read (one that cannot is
# told by its mode).
folder_state() {  # folder [entry to leave out...]
  local leave=() name
  for name in "${@:2}"; do leave+=(-path "./$name" -prune -o); done
  (cd "$1" && find . -mindepth 1 "${leave[@]}" -printf '%y %m %p %l\n' | sort &&
    find . -mindepth 1 "${leave[@]}" -type f -readable -exec sha256sum {} + | sort)
}

# The tool's own run on the files of |folder| (with the switch, if any), the
# reference a recipe's run must match: in $scratch/reference, with both
# streams in its file log.  The folder holds a link to each file, but for the
# two the tool writes, so that what no one may read stays so, and a named
# pipe is not opened.
reference() {  # folder [switch]
  local from entry
  from=$(cd "$1" && pwd)
  rm -rf "$scratch/reference" && mkdir "$scratch/reference"
  for entry in "$from"/*; do
    case ${entry##*/} in
      PCMTBL | pcmxml.txt) ;;
      *) if [ -e "$entry" ] || [ -L "$entry" ]; then ln -s "$entry" "$scratch/reference/"; fi ;;
    esac
  done
  (cd "$scratch/reference" && "$tool" ${2:+"$2"} >log 2>&1) || true
}

# Fails unless |folder| holds the outputs of the last reference run.
same_as_reference() {  # folder
  same_file "$scratch/reference/PCMTBL" "$1/PCMTBL"
  same_file "$scratch/reference/pcmxml.txt" "$1/pcmxml.txt"
}

# Goes on where files' mode bits hold, as they do for an ordinary user.  Root
# runs the scenario again without its power to read and write any file, as
# src/main_test.cpp does; where that power stays (setpriv may not take it
# away, and then says nothing), the scenario is Not Run.
mode_bits_hold() {
  local setpriv=(setpriv "--bounding-set=-dac_override,-dac_read_search")
  : >"$scratch/.unreadable"
  chmod 000 "$scratch/.unreadable"
  if ! { true <"$scratch/.unreadable"; } 2>/dev/null; then return 0; fi
  if [ -n "${recipe_without_override:-}" ] || ! "${setpriv[@]}" true 2>/dev/null; then
    echo "$test_name: not run: root reads a file of mode 000 here, even under ${setpriv[*]}" >&2
    exit "$not_run"
  fi
  rm -rf "$scratch"
  trap - EXIT ERR
  recipe_without_override=1 exec "${setpriv[@]}" bash "$script" "$prefix" "$scenario"
}

# Runs the scenario named |name| of this recipe's script.
run_scenario() {  # prefix name
  prefix=$(realpath "$1")
  # shellcheck disable=SC2034  # read by the scenarios
  tool=$prefix/bin/adpcmtbl
  scenario=$2
  test_name=recipe.$recipe.$2
  if ! declare -F "scenario_$2" >/dev/null; then
    echo "$test_name: no such scenario; there are:" >&2
    declare -F | sed -n 's/^declare -f scenario_/  /p' >&2
    exit 2
  fi
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/recipe.XXXXXX")
  trap '[ -e "$scratch/.failed" ] || rm -rf "$scratch"' EXIT
  trap 'fail "line $LINENO failed: $BASH_COMMAND"' ERR
  cd "$source_dir"
  "scenario_$2"
  echo "PASS $test_name"
}
