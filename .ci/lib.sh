# shellcheck shell=bash
# What the .ci scripts share: a scratch folder that goes at exit, and the
# patterns the checks repeat.  Sourced from the top of the tree.
scratch=$(mktemp -d)
# The mount points at or below the folder $1, deepest first.
mounts_below() {
  local dir
  dir=$(realpath -e "$1" 2>/dev/null) || return 0
  awk -v dir="$dir" '$5 == dir || index($5, dir "/") == 1 { print $5 }' /proc/self/mountinfo |
    LC_ALL=C sort -ru
}
# Removes the folder $1, but never while anything is mounted below it: rm would
# go on into a bound /dev or /proc and delete the machine's own.  Staying on
# one file system also spares one mounted meanwhile (unless it is a bind of
# the same file system, which only the refusal catches).
remove_tree() {
  local mounts
  mounts=$(mounts_below "$1")
  if [ -n "$mounts" ]; then
    printf '%s: not removing %s, for these are mounted below it:\n%s\n' "${0##*/}" "$1" \
      "$mounts" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}
# What the exit trap does last: a scratch folder that cannot go fails the run,
# which would otherwise keep its status.
remove_scratch() { remove_tree "$scratch" || exit 1; }
trap remove_scratch EXIT
# An interrupt ends the run, and so the exit trap runs, even where the program
# it stopped handles it and exits as if it had finished (debootstrap does).
trap 'exit 130' INT
trap 'exit 143' TERM
# The user nobody works in folders of its own under it.
chmod 755 "$scratch"
step() { printf '\n=== %s\n' "$*"; }
fail() { echo "${0##*/}: $*" >&2; exit 1; }

# Copies the tracked files into the new folder $1: CI works on such a copy,
# so that a developer's own build folders stay as they are.
copy_tracked() {
  mkdir "$1"
  git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$1"
}

# The clang-tidy packages that CI runs on the Debian release it runs on; a
# newer version is tried by hand (.ci/check_static clang-tidy-21) before it is
# named here.  Each release's own cppcheck runs with them.
named_clang_tidies() {
  case $(. /etc/os-release && echo "${VERSION_CODENAME:-}") in
    bookworm) echo clang-tidy-14 clang-tidy-19 ;;
    trixie) echo clang-tidy-19 ;;
  esac
}

# The version of the top changelog entry, which the build and its packages take.
release_version() { dpkg-parsechangelog -l packaging/debian/changelog -SVersion; }

# The CMake package's files, as every package installs them.
# shellcheck disable=SC2034 # used by the scripts that source this file
cmake_files=(adpcmtbl{AddTable,Config,ConfigVersion,ListVoices,RunTable}.cmake
             adpcmtbl{Targets-release,Targets}.cmake)

# Fails unless the listing on standard input names the files given, in order, each under
# the folder $1.  The third-party notices' Debian copyright files are named alike, so that
# the lists hold whatever compiler version the system has.
holds() {  # top file...
  local top=$1
  shift
  sed 's|/third-party/[^/]*\.copyright$|/third-party/PACKAGE.copyright|' |
    diff <(printf '%s\n' "${@/#/$top/}") -
}

# Fails unless lintian finds no error or warning in the .deb $1, nor the
# hardening and stripping notes.
lintian_clean() {  # deb
  lintian --display-info "$1" | tee "$scratch/lintian"
  ! grep -E '^[EW]: |hardening-no-|binary-has-unneeded-section' "$scratch/lintian" ||
    fail "lintian reports the lines above"
}

# Fails unless the command fails and says the message; its output is read as
# one line, for CMake wraps its messages.
fails_saying() {  # message command...
  local message=$1 log=$scratch/log
  shift
  ! "$@" >"$log" 2>&1 || fail "$* went on"
  tr -s ' \n' '  ' <"$log" | grep -qF -- "$message" && return
  cat "$log" >&2
  fail "$* did not say: $message"
}

examples=(demo control-bytes)

# Runs a command on a fresh copy of an example, as a user has it (without the
# script that made it); keeps its console output and exit status beside it.
run_example() {  # example directory command...
  local example=$1 dir=$2 status=0
  shift 2
  cp -r "examples/$example" "$dir"
  rm "$dir"/*.py
  (cd "$dir" && "$@" >"$dir.out" 2>"$dir.err") || status=$?
  echo "$status" >"$dir.status"
}

same_table() {  # reference candidate
  cmp "$1/PCMTBL" "$2/PCMTBL"
  cmp "$1/pcmxml.txt" "$2/pcmxml.txt"
}

# Fails unless the example run in $2 made the same files, exit status and
# console text (line endings aside) as the one in $1.
same_run() {  # reference candidate
  same_table "$1" "$2"
  cmp "$1.status" "$2.status"
  diff <(tr -d '\r' <"$1.out") <(tr -d '\r' <"$2.out")
  diff <(tr -d '\r' <"$1.err") <(tr -d '\r' <"$2.err")
}

# Fails unless a build of the tool does on every example what the native
# build in build/ does (run once, in $scratch/native.EXAMPLE), and passes the
# smoke test that a distribution can run on the installed tool.
check_binary() {  # name command...
  local name=$1 example version
  shift
  for example in "${examples[@]}"; do
    [ -e "$scratch/native.$example" ] ||
      run_example "$example" "$scratch/native.$example" "$PWD/build/adpcmtbl"
    run_example "$example" "$scratch/$name.$example" "$@"
    same_run "$scratch/native.$example" "$scratch/$name.$example"
  done
  version=$(release_version)
  ADPCMTBL_VERSION=$version tests/smoke_test.sh "$@"
}
