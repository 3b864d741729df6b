#!/usr/bin/env bash
# CI: the make recipe (examples/make/adpcmtbl.mk, and the Makefile that uses
# it) with the tool at $1, on copies of the examples; fails at the first
# finding. Writes only in a scratch folder; runs as root or not.
recipe=make
# shellcheck source=tests/recipes/common.sh
source "$(dirname "$0")/common.sh"

# The checks as they stood, one scenario for now.
scenario_all() {


# A copy of examples/$1 as the table folder $2.
new_table() {  # example folder
  mkdir -p "$(dirname "$2")"
  cp -r "examples/$1" "$2"
  rm "$2"/*.py
}

# What the recipe may not touch: every entry of the table folder but the two
# outputs and the state file, by type, name, link target and bytes.
inputs() {  # table
  local keep=(! -path ./PCMTBL ! -path ./pcmxml.txt ! -path ./.adpcmtbl-voices)
  (cd "$1" && find . -mindepth 1 "${keep[@]}" -printf '%y %p %l\n' | sort &&
    find . -type f "${keep[@]}" -exec sha256sum {} + | sort)
}

# Runs a command, showing its output only if it fails, and fails unless it
# left the table's inputs as they were; returns the command's status.
untouched() {  # table command...
  local table=$1 before status=0 log
  shift
  before=$(inputs "$table")
  log=$(mktemp -p "$scratch")
  ("$@") >"$log" 2>&1 || { status=$?; cat "$log" >&2; }
  diff <(echo "$before") <(inputs "$table") >&2 || fail "$* changed $table"
  return "$status"
}

# Fails unless the table's outputs are those of a plain run of the tool on a
# copy of it.
same_as_plain() {  # table
  rm -rf "$scratch/plain"
  cp -r "$1" "$scratch/plain"
  rm -f "$scratch/plain"/{PCMTBL,pcmxml.txt,.adpcmtbl-voices}
  (cd "$scratch/plain" && "$tool" >/dev/null 2>&1)
  cmp "$scratch/plain/PCMTBL" "$1/PCMTBL"
  cmp "$scratch/plain/pcmxml.txt" "$1/pcmxml.txt"
}

# Fails unless the command exits with the status given.
status_is() {  # status command...
  local want=$1 status=0
  shift
  "$@" >/dev/null 2>&1 || status=$?
  [ "$status" = "$want" ] || fail "$*: status $status, not $want"
}

# Fails unless the command fails and says the message on standard error.
fails_saying() {  # message command...
  local message=$1 status=0
  shift
  "$@" >/dev/null 2>"$scratch/said" || status=$?
  [ "$status" != 0 ] || fail "$*: succeeded"
  grep -qF -- "$message" "$scratch/said" || { cat "$scratch/said" >&2; fail "$*: did not say $message"; }
}

gone() {  # table file...
  local file
  for file in "${@:2}"; do
    [ ! -e "$1/$file" ] || fail "$1/$file remains"
  done
}

# examples/make on a table, with the tool built.
mk() {  # table make-argument...
  make -C examples/make TABLE_DIR="$1" ADPCMTBL="$tool" "${@:2}"
}

echo "one table through examples/make, remade exactly when its inputs change"
table=$scratch/demo
new_table demo "$table"
untouched "$table" mk "$table"
same_as_plain "$table"
status_is 0 mk "$table" -q
# Each change, and make -q's status after it: 1 when the table must be made
# again; a folder is no voice file.
for row in "1 touch DATA" "1 cp VOICE.1 VOICE.9" "1 rm VOICE.3" "0 mkdir VOICE.10" \
           "0 ln -s absent VOICE.11" "1 touch absent"; do
  read -r remade change <<<"$row"
  (cd "$table" && $change)
  status_is "$remade" mk "$table" -q
  untouched "$table" mk "$table"
  same_as_plain "$table"
  status_is 0 mk "$table" -q
done

echo "make -n, make -q and make clean write no state file"
for args in -n -q clean; do
  rm "$table/.adpcmtbl-voices"
  untouched "$table" status_is "$([ "$args" = -q ] && echo 1 || echo 0)" mk "$table" $args
  [ ! -e "$table/.adpcmtbl-voices" ] || fail "make $args wrote the state file"
  mk "$table" >/dev/null 2>&1
done
untouched "$table" mk "$table" clean
gone "$table" PCMTBL pcmxml.txt .adpcmtbl-voices

echo "tool paths: spaces, a quote, relative to make's folder, looked up in PATH"
mkdir -p "$scratch/tool dir" "$scratch/it's"
cp "$tool" "$scratch/tool dir/adpcmtbl"
cp "$tool" "$scratch/it's/adpcmtbl"
for path in "$scratch/tool dir/adpcmtbl" "$scratch/it's/adpcmtbl" \
            "$(realpath --relative-to=examples/make "$scratch/tool dir")/adpcmtbl" adpcmtbl; do
  rm -f "$table"/{PCMTBL,pcmxml.txt}
  PATH="$scratch/tool dir:$PATH" untouched "$table" mk "$table" ADPCMTBL="$path" ||
    fail "ADPCMTBL=$path did not work"
  same_as_plain "$table"
done
rm "$table/PCMTBL"
fails_saying "ADPCMTBL is empty" mk "$table" ADPCMTBL=

# examples/make's Makefile run in the folder given, with the tool built: a
# table folder relative to it can start with - or ~.
mk_in() {  # folder make-argument...
  make -C "$1" -f "$PWD/examples/make/Makefile" ADPCMTBL="$tool" "${@:2}"
}

echo "table folder names that make can take"
for name in "a,b" "a(b)" "bob's" '"hi"' "a&b" "été" "-x" "a]b" "x~y" "{x}" "a!b" "a<b>"; do
  table=$scratch/names/$name
  new_table demo "$table"
  untouched "$table" mk_in "$scratch/names" TABLE_DIR="$name" ||
    fail "table folder $name did not work"
  same_as_plain "$table"
  status_is 0 mk_in "$scratch/names" TABLE_DIR="$name" -q
  untouched "$table" mk_in "$scratch/names" TABLE_DIR="$name" clean
  gone "$table" PCMTBL pcmxml.txt .adpcmtbl-voices
done

echo "table folder names that make cannot take: a message naming the folder and why"
while IFS=@ read -r name given why; do
  new_table demo "$scratch/bad/$name"
  untouched "$scratch/bad/$name" fails_saying "the table folder \"$name\" has $why in its name" \
    mk_in "$scratch/bad" TABLE_DIR="$given"
  gone "$scratch/bad/$name" PCMTBL pcmxml.txt .adpcmtbl-voices
done <<'EOF'
my voices@my voices@a blank
a:b@a:b@":"
a#b@a#b@"#"
a%b@a%b@"%"
a;b@a;b@";"
a=b@a=b@"="
a|b@a|b@"|"
a*b@a*b@"*"
a?b@a?b@"?"
a[b]@a[b]@"["
a\b@a\b@"\"
a$b@a$$b@"$"
~x@~x@a leading "~"
EOF

echo "a missing folder or DATA, or an unreadable DATA: says which; no output remains"
touch "$scratch/a-file"
while read -r folder says; do
  fails_saying "the table folder \"$scratch/$folder\" $says" mk "$scratch/$folder"
  status_is 0 mk "$scratch/$folder" clean
done <<'EOF'
nowhere does not exist
a-file is not a folder
EOF
[ ! -e "$scratch/nowhere" ] && [ ! -s "$scratch/a-file" ] || fail "the recipe wrote a table folder"
# A directory or a link loop in DATA's place keeps even root from reading it.
table=$scratch/broken
while IFS=@ read -r break_data message; do
  rm -rf "$table"
  new_table demo "$table"
  mk "$table" >/dev/null 2>&1
  (cd "$table" && eval "$break_data")
  untouched "$table" fails_saying "$message" mk "$table"
  gone "$table" PCMTBL pcmxml.txt
done <<EOF
rm DATA@the table folder "$table" holds no DATA
rm DATA && mkdir DATA@Not found "DATA".
rm DATA && ln -s DATA DATA@the table folder "$table" holds no DATA
EOF

echo "two tables in a project's own Makefile: each remade exactly when its inputs change"
project="$scratch/my project"
drums=sounds/drums
strings=$scratch/elsewhere/strings
new_table demo "$project/$drums"
new_table control-bytes "$strings"
mkdir "$project/make"
cp examples/make/adpcmtbl.mk "$project/make/"
cat >"$project/Makefile" <<EOF
include make/adpcmtbl.mk
\$(eval \$(call adpcmtbl_table, $drums))
\$(eval \$(call adpcmtbl_table,$strings/))

.PHONY: all clean
all: rom.bin
rom.bin: $drums/PCMTBL $strings/PCMTBL
	cat \$^ >\$@
clean:
	rm -f rom.bin
	\$(adpcmtbl_clean)
EOF
pmk=(make -C "$project" ADPCMTBL="$tool")
both() { untouched "$project/$drums" untouched "$strings" "$@"; }
both "${pmk[@]}" -j2
[ -e "$project/rom.bin" ] || fail "the default goal is not the project's"
same_as_plain "$project/$drums"
same_as_plain "$strings"
status_is 0 "${pmk[@]}" -q
while read -r changed change; do
  if [ "$changed" = drums ]; then changed=$drums other=$strings; else changed=$strings other=$drums; fi
  made=$(cd "$project" && stat -c %y "$changed/PCMTBL" "$other/PCMTBL")
  (cd "$project" && cd "$changed" && $change)
  status_is 1 "${pmk[@]}" -q "$changed/PCMTBL"
  status_is 0 "${pmk[@]}" -q "$other/PCMTBL"
  both "${pmk[@]}" -j2
  now=$(cd "$project" && stat -c %y "$changed/PCMTBL" "$other/PCMTBL")
  [ "$(head -1 <<<"$made")" != "$(head -1 <<<"$now")" ] || fail "$changed not remade after $change"
  [ "$(tail -1 <<<"$made")" = "$(tail -1 <<<"$now")" ] || fail "$other remade after $changed's $change"
  (cd "$project"; same_as_plain "$changed")
  status_is 0 "${pmk[@]}" -q
done <<'EOF'
drums touch DATA
strings rm VOICE.3
drums cp VOICE.1 VOICE.9
strings touch DATA
EOF
printf 'include Makefile\n$(eval $(call adpcmtbl_table,%s/))\n' "$drums" >"$scratch/twice.mk"
both fails_saying "called twice for the table folder \"$drums\"" "${pmk[@]}" -f "$scratch/twice.mk"
# A third table whose folder and DATA the project's own rule makes, slowly:
# with -j, the recipe waits for it.
printf 'include Makefile\n$(eval $(call adpcmtbl_table,made))\n%s\n\t%s\n' \
  "made/DATA: $drums/DATA" 'sleep 1 && mkdir -p made && cp $< $@' >"$scratch/made.mk"
both "${pmk[@]}" -f "$scratch/made.mk" -j2 made/PCMTBL
(cd "$project" && same_as_plain made)
rm -r "$project/made"
both "${pmk[@]}" clean
gone "$project/$drums" PCMTBL pcmxml.txt .adpcmtbl-voices
gone "$strings" PCMTBL pcmxml.txt .adpcmtbl-voices

echo "make recipe: all checks passed"

}

run_scenario "$@"
