#!/usr/bin/env bash
# The make recipe (recipes/make/adpcmtbl.mk, and examples/make/Makefile that uses it)
# with the installed tool, on copies of the examples: one scenario a test,
# run by name (make_recipe.sh PREFIX NAME). Writes only in the scenario's
# scratch folder; runs as root or not.
recipe="make"
# shellcheck source=tests/recipes/common.sh
source "$(dirname "$0")/common.sh"

# A copy of examples/$1 as the table folder $2.
new_table() {  # example folder
  mkdir -p "$(dirname "$2")"
  cp -r "examples/$1" "$2"
  rm "$2"/*.py
}

# Runs a command, showing its output only if it fails, and fails unless it
# left the table's inputs as they were (every entry but the two outputs and
# the state file); returns the command's status.
keeps_inputs() {  # table command...
  local table=$1 before status=0 log
  shift
  before=$(folder_state "$table" PCMTBL pcmxml.txt .adpcmtbl-voices)
  log=$(mktemp -p "$scratch")
  ("$@") >"$log" 2>&1 || { status=$?; cat "$log" >&2; }
  diff <(echo "$before") <(folder_state "$table" PCMTBL pcmxml.txt .adpcmtbl-voices) >&2 ||
    fail "$* changed $table (diff above: before, after)"
  return "$status"
}

# Fails unless the table's outputs are those of a plain run of the tool on
# its files.
same_as_plain() {  # table
  reference "$1"
  same_as_reference "$1"
}

# Fails unless the command fails and says the message on standard error.
stops_saying() {  # message command...
  local message=$1 status=0
  shift
  "$@" >/dev/null 2>"$scratch/said" || status=$?
  [ "$status" != 0 ] || fail "$*: exit status 0, expected a failure saying: $message"
  grep -qF -- "$message" "$scratch/said" ||
    { cat "$scratch/said" >&2; fail "$*: did not say: $message (what it said is above)"; }
}

gone() {  # table file...
  local file
  for file in "${@:2}"; do
    [ ! -e "$1/$file" ] || fail "$1/$file remains, expected none"
  done
}

# examples/make on a table, with the tool built.
mk() {  # table make-argument...
  make -C examples/make TABLE_DIR="$1" ADPCMTBL="$tool" "${@:2}"
}

# examples/make's Makefile run in the folder given, with the tool built: a
# table folder relative to it can start with - or ~.
mk_in() {  # folder make-argument...
  make -C "$1" -f "$PWD/examples/make/Makefile" ADPCMTBL="$tool" "${@:2}"
}

# A project, by default with a blank in its name, and its own Makefile, for
# two tables: $drums (relative) and $strings (absolute, outside the
# project); $pmk runs make on it, and both checks that neither table's
# inputs changed.
project="" drums="" strings="" pmk=()
new_project() {  # [name in $scratch]
  project="$scratch/${1:-my project}"
  drums=sounds/drums
  strings=$scratch/elsewhere/strings
  rm -rf "$strings"
  new_table demo "$project/$drums"
  new_table control-bytes "$strings"
  mkdir "$project/make"
  cp recipes/make/adpcmtbl.mk "$project/make/"
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
}
both() { keeps_inputs "$project/$drums" keeps_inputs "$strings" "$@"; }

# A tool, at $1, that notes each run in $1.runs (outside the table folder)
# and then does what the rest of its lines say, in the table folder.
new_wrapper() {  # path line...
  printf '#!/bin/sh\necho run >>%q\n' "$1.runs" >"$1"
  printf '%s\n' "${@:2}" >>"$1"
  chmod +x "$1"
}

scenario_remade_exactly_when_inputs_change() {
  local table=$scratch/demo row remade change
  mode_bits_hold
  new_table demo "$table"
  keeps_inputs "$table" mk "$table"
  same_as_plain "$table"
  status_is 0 mk "$table" -q
  # Each change, and make -q's status after it: 1 when the table must be made
  # again; a folder is no voice file; the last slot counts like any other; a
  # file that cannot be read is none either, and a named pipe is one.
  for row in "1 touch DATA" "1 cp VOICE.1 VOICE.9" "1 rm VOICE.3" "0 mkdir VOICE.10" \
             "0 ln -s absent VOICE.11" "1 touch absent" "1 cp VOICE.1 VOICE.32" \
             "1 rm VOICE.32" "1 ln -s VOICE.1 VOICE.32" "1 rm VOICE.32" \
             "1 chmod 000 VOICE.2" "1 chmod 644 VOICE.2" "1 mkfifo VOICE.5" \
             "1 chmod 000 VOICE.5" "0 rm VOICE.5"; do
    read -r remade change <<<"$row"
    step="after $change"
    (cd "$table" && $change)
    status_is "$remade" mk "$table" -q
    keeps_inputs "$table" mk "$table"
    same_as_plain "$table"
    status_is 0 mk "$table" -q
  done
}

scenario_make_n_q_clean_write_no_state() {
  local table=$scratch/demo args
  new_table demo "$table"
  mk "$table" >/dev/null 2>&1
  for args in -n -q clean; do
    rm "$table/.adpcmtbl-voices"
    keeps_inputs "$table" status_is "$([ "$args" = -q ] && echo 1 || echo 0)" mk "$table" $args
    [ ! -e "$table/.adpcmtbl-voices" ] ||
      fail "make $args wrote the state file $table/.adpcmtbl-voices, expected none"
    mk "$table" >/dev/null 2>&1
  done
  keeps_inputs "$table" mk "$table" clean
  gone "$table" PCMTBL pcmxml.txt .adpcmtbl-voices
}

scenario_tool_paths() {
  local table=$scratch/demo path
  new_table demo "$table"
  # Spaces, a quote, relative to make's folder, looked up in PATH.
  mkdir -p "$scratch/tool dir" "$scratch/it's"
  cp "$tool" "$scratch/tool dir/adpcmtbl"
  cp "$tool" "$scratch/it's/adpcmtbl"
  for path in "$scratch/tool dir/adpcmtbl" "$scratch/it's/adpcmtbl" \
              "$(realpath --relative-to=examples/make "$scratch/tool dir")/adpcmtbl" adpcmtbl; do
    rm -f "$table"/{PCMTBL,pcmxml.txt}
    PATH="$scratch/tool dir:$PATH" keeps_inputs "$table" mk "$table" ADPCMTBL="$path" ||
      fail "ADPCMTBL=$path did not make $table"
    same_as_plain "$table"
  done
  rm "$table/PCMTBL"
  stops_saying "ADPCMTBL is empty" mk "$table" ADPCMTBL=
}

scenario_one_run_for_both_outputs() {
  # A goal that needs each output on its own, at -j4: still one run a table.
  local table=$scratch/run/t counter=$scratch/counting-adpcmtbl round
  new_table demo "$table"
  new_wrapper "$counter" 'sleep 1' "exec $(printf %q "$tool")"
  cp recipes/make/adpcmtbl.mk "$scratch/run/"
  cat >"$scratch/run/Makefile" <<'EOF'
include adpcmtbl.mk
$(eval $(call adpcmtbl_table,t))
.PHONY: all
all: uses-table uses-map
uses-table: t/PCMTBL ; cp $< $@
uses-map: t/pcmxml.txt ; cp $< $@
EOF
  for round in first "after touch DATA"; do
    rm -f "$counter.runs"
    keeps_inputs "$table" make -C "$scratch/run" -j4 ADPCMTBL="$counter"
    [ "$(wc -l <"$counter.runs")" = 1 ] ||
      fail "$table, $round build at -j4: the tool ran $(wc -l <"$counter.runs") times, expected 1"
    same_as_plain "$table"
    touch "$table/DATA"
  done
}

scenario_failed_run_leaves_no_output() {
  # A tool that writes both outputs, then fails: neither stays, nor do the
  # outputs of the good run before it; with the folder absolute and relative.
  local failing=$scratch/failing-adpcmtbl given table
  new_wrapper "$failing" 'echo cut >PCMTBL' 'echo cut >pcmxml.txt' 'exit 1'
  mkdir "$scratch/run"
  for given in "$scratch/run/absolute" relative; do
    table=$scratch/run/${given##*/}
    new_table demo "$table"
    mk_in "$scratch/run" TABLE_DIR="$given" >/dev/null 2>&1
    touch "$table/DATA"
    keeps_inputs "$table" status_is 2 mk_in "$scratch/run" TABLE_DIR="$given" ADPCMTBL="$failing"
    gone "$table" PCMTBL pcmxml.txt
    # and the next run, with a tool that works, makes them again
    keeps_inputs "$table" mk_in "$scratch/run" TABLE_DIR="$given"
    same_as_plain "$table"
  done
}

scenario_phony_targets_with_files_of_their_names() {
  # Files named all and clean where make runs do not stop examples/make, nor
  # are they made: were all not phony, make's built-in rules would make it
  # again from the newer all.sh beside it.
  local table=$scratch/t run=$scratch/run
  new_table demo "$table"
  mkdir "$run"
  touch -d '1 hour ago' "$run/all" "$run/clean"
  echo 'echo mine' >"$run/all.sh"
  keeps_inputs "$run" keeps_inputs "$table" mk_in "$run" TABLE_DIR=../t all
  same_as_plain "$table"
  status_is 0 mk_in "$run" TABLE_DIR=../t -q all
  keeps_inputs "$run" keeps_inputs "$table" mk_in "$run" TABLE_DIR=../t clean
  gone "$table" PCMTBL pcmxml.txt .adpcmtbl-voices
}

scenario_folder_names_make_can_take() {
  local name table
  for name in "a,b" "a(b)" "bob's" '"hi"' "a&b" "été" "-x" "a]b" "x~y" "{x}" "a!b" "a<b>"; do
    table=$scratch/names/$name
    new_table demo "$table"
    keeps_inputs "$table" mk_in "$scratch/names" TABLE_DIR="$name" ||
      fail "table folder $name did not work"
    same_as_plain "$table"
    status_is 0 mk_in "$scratch/names" TABLE_DIR="$name" -q
    keeps_inputs "$table" mk_in "$scratch/names" TABLE_DIR="$name" clean
    gone "$table" PCMTBL pcmxml.txt .adpcmtbl-voices
  done
}

scenario_folder_names_make_refuses() {
  # A message naming the folder and why.
  local name given why
  while IFS=@ read -r name given why; do
    new_table demo "$scratch/bad/$name"
    keeps_inputs "$scratch/bad/$name" stops_saying "the table folder \"$name\" has $why in its name" \
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
}

scenario_missing_folder_or_data() {
  # A missing folder or DATA, or an unreadable DATA: says which; no output
  # remains.
  local folder says table break_data message
  touch "$scratch/a-file"
  while read -r folder says; do
    stops_saying "the table folder \"$scratch/$folder\" $says" mk "$scratch/$folder"
    status_is 0 mk "$scratch/$folder" clean
  done <<'EOF'
nowhere does not exist
a-file is not a folder
EOF
  if [ -e "$scratch/nowhere" ] || [ -s "$scratch/a-file" ]; then
    fail "the recipe wrote $scratch/nowhere or into $scratch/a-file"
  fi
  # A directory or a link loop in DATA's place keeps even root from reading it;
  # the message "tool's" is the last line that the tool's own run prints.
  table=$scratch/broken
  while IFS=@ read -r break_data message; do
    rm -rf "$table"
    new_table demo "$table"
    mk "$table" >/dev/null 2>&1
    (cd "$table" && eval "$break_data")
    if [ "$message" = "tool's" ]; then
      reference "$table"
      message=$(tail -n 1 "$scratch/reference/log")
      [ -n "$message" ] || fail "the tool's own run on $table printed nothing"
    fi
    keeps_inputs "$table" stops_saying "$message" mk "$table"
    gone "$table" PCMTBL pcmxml.txt
  done <<EOF
rm DATA@the table folder "$table" holds no DATA
rm DATA && mkdir DATA@tool's
rm DATA && ln -s DATA DATA@the table folder "$table" holds no DATA
EOF
}

scenario_two_tables_in_one_makefile() {
  # Each remade exactly when its inputs change, and only then.
  local changed change other made now
  new_project
  both "${pmk[@]}" -j2
  [ -e "$project/rom.bin" ] || fail "the default goal is not the project's: no $project/rom.bin"
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
    (cd "$project" && same_as_plain "$changed")
    status_is 0 "${pmk[@]}" -q
  done <<'EOF'
drums touch DATA
strings rm VOICE.3
drums cp VOICE.1 VOICE.9
strings touch DATA
EOF
  both "${pmk[@]}" clean
  gone "$project/$drums" PCMTBL pcmxml.txt .adpcmtbl-voices
  gone "$strings" PCMTBL pcmxml.txt .adpcmtbl-voices
}

scenario_table_folder_given_twice() {
  # One folder under any spelling is refused, naming it; another folder is
  # not. In a project whose folder has a blank, in one without, where
  # $(CURDIR) can spell a table folder, and in one with a %.
  local name said again
  while IFS=@ read -r name said again; do
    [ "$project" = "$scratch/$name" ] || { new_project "$name"; mkdir "$project/sounds/drums-2"; }
    # shellcheck disable=SC2016 # make's $(...), written as it is
    printf 'include Makefile\n$(eval $(call adpcmtbl_table,%s))\n' "$again" >"$scratch/twice.mk"
    if [ "$said" = accepted ]; then
      both status_is 0 "${pmk[@]}" -f "$scratch/twice.mk" -n
    else
      both stops_saying "called twice for the table folder \"$said\"" "${pmk[@]}" -f "$scratch/twice.mk"
    fi
    gone "$project/sounds/drums" PCMTBL pcmxml.txt .adpcmtbl-voices
  done <<EOF
my project@sounds/drums@sounds/drums/
my project@sounds/drums@sounds/drums
my project@./sounds/drums@./sounds/drums/
my project@sounds/../sounds/drums/.@sounds/../sounds/drums/.
my project@sounds//drums@sounds//drums
my project@../elsewhere/strings@../elsewhere/strings
my project@$scratch/elsewhere/strings@$scratch/elsewhere/strings
my project@accepted@sounds
my project@accepted@sounds/drums-2
my project@accepted@drums
plain@$scratch/plain/sounds/drums@\$(CURDIR)/sounds/drums
plain@$scratch/plain/../plain/sounds/drums@\$(CURDIR)/../plain/sounds/drums/
plain@$scratch/plain/sounds/drums@$scratch/plain/sounds/drums
plain@accepted@\$(CURDIR)/sounds/drums-2
100%@./sounds/drums@./sounds/drums
100%@accepted@drums
EOF
}

scenario_data_made_by_a_rule_of_yours() {
  # A third table whose folder and DATA the project's own rule makes, slowly:
  # with -j, the recipe waits for it.
  new_project
  # shellcheck disable=SC2016 # make's $(...), written as it is
  printf 'include Makefile\n$(eval $(call adpcmtbl_table,made))\n%s\n\t%s\n' \
    "made/DATA: $drums/DATA" 'sleep 1 && mkdir -p made && cp $< $@' >"$scratch/made.mk"
  both "${pmk[@]}" -f "$scratch/made.mk" -j2 made/PCMTBL
  (cd "$project" && same_as_plain made)
}

run_scenario "$@"
