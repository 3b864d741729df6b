#!/usr/bin/env bash
# CI: adpcmtbl_add_table() in projects laid out as users lay them out: the
# installed package and the project built as a subproject, odd paths, build
# folders in and around the table folder, tables made by the build, parallel
# builds that use the outputs, failed and killed runs, and the build log.
# After every build, rebuild and clean, the table folder holds exactly the
# names and bytes it held before.
#   bash tests/recipes/cmake_recipe.sh PREFIX SCENARIO
#   (PREFIX: where the tool is installed; SCENARIO: a scenario_ name below)
# The projects' lines are CMake code, whose ${...} only CMake expands.
# shellcheck disable=SC2016
recipe=cmake
# shellcheck source=tests/recipes/common.sh
source "$(dirname "$0")/common.sh"

builds_in_a_row=30
find_it="find_package(adpcmtbl 1.0 REQUIRED)"
# The projects ask for the oldest CMake that the package accepts, as a
# user's may, so that they run on it too.
oldest_cmake=$(sed -n 's/^if(CMAKE_VERSION VERSION_LESS \([0-9.]*\))$/\1/p' \
  "$source_dir/recipes/cmake/adpcmtblConfig.cmake")
: "${oldest_cmake:?not found in recipes/cmake/adpcmtblConfig.cmake}"
package=""  # the prefix the projects find the package in; $prefix if empty

# Notes what a table folder holds, but for the build folder a project may
# keep inside it, in a file beside it; table_as_noted compares with it.
note_table() {  # folder
  folder_state "$1" build >"$1.state"
}
table_as_noted() {  # folder
  local now
  now=$(folder_state "$1" build)
  [ "$now" = "$(cat "$1.state")" ] ||
    fail "the table folder $1 changed: $(diff "$1.state" - <<<"$now" | sed -n 2p || :)"
}
# A copy of examples/demo at $1, noted, and its reference run.
new_table() {  # folder
  mkdir -p "$(dirname "$1")"
  cp -r examples/demo "$1"
  rm "$1"/*.py
  note_table "$1"
  reference "$1"
}
# The same with all 32 slots named and their voice files there but VOICE.5,
# so that the log is longer than CMake passes on at once.
new_full_table() {  # folder
  local n
  new_table "$1"
  head -c 1024 fuzz/corpus/full32 >"$1/DATA"
  for n in $(seq 9 32); do echo adpcm >"$1/VOICE.$n"; done
  note_table "$1"
  reference "$1"
}
# What an output folder holds of a run besides PCMTBL and pcmxml.txt: the
# runs' hidden work folder may stay, empty.
leftovers() {  # output folder
  find "$1" -mindepth 1 ! -name PCMTBL ! -name pcmxml.txt \
    ! \( -path "$1/.adpcmtbl-runs" -empty \) -printf '%P '
}
only_outputs() {  # output folder
  if [ ! -f "$1/PCMTBL" ] || [ ! -f "$1/pcmxml.txt" ]; then fail "$1 lacks an output"; fi
  [ -z "$(leftovers "$1")" ] || fail "$1 holds, besides the outputs: $(leftovers "$1")"
}
no_outputs() {  # output folder
  if [ -e "$1/PCMTBL" ] || [ -e "$1/pcmxml.txt" ]; then
    fail "$1 holds an output after a failed run: $(find "$1" -mindepth 1 -maxdepth 1 -printf "%f ")"
  fi
  [ -z "$(leftovers "$1")" ] || fail "$1 holds after a failed run: $(leftovers "$1")"
}
# A project whose CMakeLists.txt is the given lines, after the usual head.
project_with() {  # folder lines...
  local folder=$1
  shift
  mkdir -p "$folder"
  printf '%s\n' "cmake_minimum_required(VERSION $oldest_cmake)" "project(rom LANGUAGES NONE)" "$@" \
    >"$folder/CMakeLists.txt"
}
configure_log() { cmake "$@" -DCMAKE_PREFIX_PATH="${package:-$prefix}" >"$scratch/configure.log" 2>&1; }
configure() {  # cmake arguments...
  configure_log "$@" || { cat "$scratch/configure.log" >&2; fail "configure failed: cmake $*"; }
}
# Configuring must stop with a message that names the table folder.
refused() {  # table folder, configure arguments...
  local table=$1
  shift
  if configure_log "$@"; then fail "configured, not refused: cmake $*"; fi
  says "$(basename "$table")"
}
# Fails unless the last configure's message holds each text given.
says() {  # text...
  local text
  for text in "$@"; do
    grep -F -- "$text" "$scratch/configure.log" >/dev/null ||
      { cat "$scratch/configure.log" >&2; fail "the configure message does not say: $text"; }
  done
}
# Builds into $scratch/build.log, which is shown if the build fails.
build() {  # build folder, build arguments...
  cmake --build "$@" >"$scratch/build.log" 2>&1 ||
    { cat "$scratch/build.log" >&2; fail "the build failed: cmake --build $*"; }
}
# A build that must fail.
build_fails() {  # build folder, build arguments...
  if cmake --build "$@" >"$scratch/build.log" 2>&1; then
    cat "$scratch/build.log" >&2; fail "the build succeeded: cmake --build $*"
  fi
}
# Builds, then builds again: nothing may run the second time.
build_twice() {  # build folder, build arguments...
  build "$@"
  cp "$scratch/build.log" "$scratch/first.log"
  cmake --build "$@" >"$scratch/again.log" 2>&1
  if grep 'adpcmtbl:' "$scratch/again.log" >&2; then fail "$1: made again for nothing"; fi
  mv "$scratch/first.log" "$scratch/build.log"
}
# Builds; the table must be made again, for the reason given.
made_again() {  # build folder, reason
  build "$1"
  grep 'adpcmtbl:' "$scratch/build.log" >/dev/null || fail "$1: not made again after: $2"
}
not_made_again() {  # build folder, reason
  build "$1"
  if grep 'adpcmtbl:' "$scratch/build.log" >&2; then fail "$1: made again after: $2"; fi
}
# Fails unless the last build's log shows the reference run's text, its
# messages and listing, every line whole and in order, from its first line
# (the banner) on; the first run's, where the build ran the tool twice.
logged_as_reference() {
  local banner lines
  banner=$(head -n 1 "$scratch/reference/log")
  lines=$(wc -l <"$scratch/reference/log")
  grep -m 1 -A "$((lines - 1))" -xF -- "$banner" "$scratch/build.log" >"$scratch/logged" || true
  cmp -s "$scratch/reference/log" "$scratch/logged" ||
    fail "the build log does not show the tool's text as its own run prints it" \
      "(diff reference/log logged: $(diff "$scratch/reference/log" "$scratch/logged" | sed -n 2p || :))"
}
# Fails unless each run of the tool in the build log printed each line of the
# tool's own run whole: runs in parallel may print their lines in any order
# among each other's, but every line of the reference stands once a run.
logged_whole_in_each_run() {
  local runs line got
  runs=$(grep -c 'adpcmtbl: making the table of' "$scratch/build.log")
  while IFS= read -r line; do
    got=$(grep -cxF -- "$line" "$scratch/build.log" || :)
    [ "$got" = "$((runs * $(grep -cxF -- "$line" "$scratch/reference/log")))" ] ||
      fail "the build log shows the line \"$line\" whole $got times in $runs runs of the tool"
  done < <(sort -u "$scratch/reference/log")
}
# A copy of the installed prefix at $1, which the projects then find, whose
# bin/adpcmtbl is the installed tool (bin/adpcmtbl.real) behind a shell
# script that runs the given lines first.
wrapped_prefix() {  # folder lines...
  local folder=$1
  shift
  cp -a "$prefix" "$folder"
  mv "$folder/bin/adpcmtbl" "$folder/bin/adpcmtbl.real"
  printf '%s\n' '#!/bin/sh' "$@" "exec \"$folder/bin/adpcmtbl.real\" \"\$@\"" >"$folder/bin/adpcmtbl"
  chmod +x "$folder/bin/adpcmtbl"
  package=$folder
}

scenario_remade_when_a_voice_file_comes_or_goes() {
  local p=$scratch/installed t=$scratch/installed/voices row remade change
  mode_bits_hold
  new_table "$t"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  configure -S "$p" -B "$p/build"
  build_twice "$p/build"
  same_as_reference "$p/build/voice_table"
  only_outputs "$p/build/voice_table"
  table_as_noted "$t"
  # Each change, and whether the table is made again after it (1) or not (0);
  # a file that cannot be read is no voice file, and a named pipe is one.
  for row in "1 chmod 000 VOICE.6" "1 chmod 644 VOICE.6" "1 mkfifo VOICE.5" \
    "1 chmod 000 VOICE.5" "0 rm VOICE.5" "1 rm VOICE.3" "1 cp VOICE.1 VOICE.9" "1 touch DATA" \
    "1 rm VOICE.1 VOICE.2 VOICE.4" "1 cp VOICE.6 VOICE.32" "1 rm VOICE.32"; do
    read -r remade change <<<"$row"
    step="after $change"
    (cd "$t" && $change)
    note_table "$t"
    if [ "$remade" = 1 ]; then made_again "$p/build" "$change"; else not_made_again "$p/build" "$change"; fi
    not_made_again "$p/build" "nothing since $change"
    reference "$t"
    same_as_reference "$p/build/voice_table"
    only_outputs "$p/build/voice_table"
    table_as_noted "$t"
  done
  step=""
  # A clean, then a build from scratch, with no voice file left.
  rm "$t"/VOICE.*
  note_table "$t"
  build "$p/build" --target clean
  table_as_noted "$t"
  build "$p/build"
  reference "$t"
  same_as_reference "$p/build/voice_table"
  table_as_noted "$t"
}

scenario_run_refuses_an_output_folder_turned_into_a_link_to_the_table() {
  local p=$scratch/installed t=$scratch/installed/voices
  new_table "$t"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  configure -S "$p" -B "$p/build"
  build "$p/build"
  # The output folder turned into a link to the table since configuring.
  rm -r "$p/build/voice_table"
  ln -s ../voices "$p/build/voice_table"
  touch -d tomorrow "$t/DATA"
  note_table "$t"
  build_fails "$p/build"
  table_as_noted "$t"
}

scenario_remade_when_the_tool_changes() {
  local p=$scratch/tool
  new_table "$p/voices"
  cp -a "$prefix" "$scratch/newer"
  package=$scratch/newer
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  configure -S "$p" -B "$p/build"
  build_twice "$p/build"
  # A newer tool installed over the old one.
  rm "$scratch/newer/bin/adpcmtbl"
  cp "$tool" "$scratch/newer/bin/adpcmtbl"
  made_again "$p/build" "a newer bin/adpcmtbl"
  same_as_reference "$p/build/voice_table"
  table_as_noted "$p/voices"
}

scenario_failed_run_leaves_no_output() {
  local p=$scratch/failed generator b
  new_table "$p/voices"
  # A tool that makes both outputs, then fails, while $scratch/fail exists.
  wrapped_prefix "$scratch/failing" "if [ -e '$scratch/fail' ]; then" \
    "  \"$scratch/failing/bin/adpcmtbl.real\" \"\$@\"; exit 3" "fi"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  for generator in "Unix Makefiles" Ninja; do
    b="$p/build-$generator"
    configure -S "$p" -B "$b" -G "$generator"
    build "$b"
    same_as_reference "$b/voice_table"
    : >"$scratch/fail"
    touch "$p/voices/DATA"
    note_table "$p/voices"
    build_fails "$b"
    no_outputs "$b/voice_table"
    build_fails "$b"  # and again: nothing of the failed run was taken for done
    no_outputs "$b/voice_table"
    rm "$scratch/fail"
    build "$b"
    same_as_reference "$b/voice_table"
    # The tool's own failure: a folder DATA, which it takes for missing.
    mv "$p/voices/DATA" "$p/DATA.away"
    mkdir "$p/voices/DATA"
    note_table "$p/voices"
    build_fails "$b"
    reference "$p/voices"
    logged_as_reference
    no_outputs "$b/voice_table"
    table_as_noted "$p/voices"
    rmdir "$p/voices/DATA"
    mv "$p/DATA.away" "$p/voices/DATA"
    touch "$p/voices/DATA"
    note_table "$p/voices"
    reference "$p/voices"
  done
}

scenario_remade_when_a_depends_file_changes() {
  local p=$scratch/depends
  new_table "$p/voices"
  project_with "$p" "$find_it" \
    'adpcmtbl_add_table(voice_table DIRECTORY voices DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/voices/VOICE.1)' \
    'adpcmtbl_add_table(unchecked DIRECTORY voices NO_PRESENCE_CHECK DEPENDS voices/VOICE.2)'
  configure -S "$p" -B "$p/build"
  build_twice "$p/build"
  touch "$p/voices/VOICE.1"
  note_table "$p/voices"
  build "$p/build" --target voice_table
  grep 'adpcmtbl:' "$scratch/build.log" >/dev/null || fail "$p/build: not made again after VOICE.1 of DEPENDS changed"
  touch "$p/voices/VOICE.2"
  note_table "$p/voices"
  made_again "$p/build" "VOICE.2 of DEPENDS changed (NO_PRESENCE_CHECK)"
  # A voice file that DEPENDS does not name: what it holds plays no part.
  touch "$p/voices/VOICE.3"
  note_table "$p/voices"
  not_made_again "$p/build" "VOICE.3, not in DEPENDS, changed"
  same_as_reference "$p/build/voice_table"
  table_as_noted "$p/voices"
}

scenario_no_presence_check_runs_the_tool_with_n() {
  local p=$scratch/unchecked
  new_table "$p/voices"
  cp "$scratch/reference/PCMTBL" "$scratch/checked.PCMTBL"
  reference "$p/voices" -n
  # The demo lacks VOICE.5, which then takes its ROM space.
  if cmp -s "$scratch/checked.PCMTBL" "$scratch/reference/PCMTBL"; then
    fail "-n makes the demo's PCMTBL no different: this scenario would try nothing"
  fi
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices NO_PRESENCE_CHECK)"
  configure -S "$p" -B "$p/build"
  build_twice "$p/build"
  same_as_reference "$p/build/voice_table"
  logged_as_reference  # and so no missing voice file reported
  only_outputs "$p/build/voice_table"
  table_as_noted "$p/voices"
}

scenario_refuses_folders_it_must_not_write_into() {
  local p
  # The target named as the table folder, configured in the source folder.
  p=$scratch/in-source
  new_table "$p/voices"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voices DIRECTORY voices)"
  refused "$p/voices" -S "$p" -B "$p"
  table_as_noted "$p/voices"
  # A table at the project's root, configured in place, from a subdirectory,
  # whatever the output folder.
  p=$scratch/root-in-place
  new_table "$p"
  project_with "$p" "$find_it" "add_subdirectory(rom)"
  mkdir "$p/rom"
  echo 'adpcmtbl_add_table(voice_table DIRECTORY .. ${OUT})' >"$p/rom/CMakeLists.txt"
  refused "$p" -S "$p" -B "$p" -DOUT=
  refused "$p" -S "$p" -B "$p" "-DOUT=OUTPUT_DIRECTORY;$scratch/root-in-place.out"
  if [ -e "$p/rom/voice_table" ] || [ -e "$scratch/root-in-place.out" ]; then
    fail "an output folder made: $p/rom/voice_table or $scratch/root-in-place.out"
  fi
  # The same, the build folder reached through a link to the table folder.
  p=$scratch/root-linked
  new_table "$p"
  project_with "$p" "$find_it" \
    'adpcmtbl_add_table(voice_table DIRECTORY . OUTPUT_DIRECTORY ${CMAKE_SOURCE_DIR}/../linked.out)'
  ln -s root-linked "$scratch/link"
  refused "$p" -S "$p" -B "$scratch/link"
  says "the build folder"
  [ ! -e "$scratch/linked.out" ] || fail "an output folder made: $scratch/linked.out"
  # The output folder a link to the table, or a folder that holds it.
  p=$scratch/linked
  new_table "$p/voices"
  project_with "$p" "$find_it" 'adpcmtbl_add_table(voice_table DIRECTORY voices ${OUT})'
  mkdir "$p/build" && ln -s ../voices "$p/build/voice_table"
  refused "$p/voices" -S "$p" -B "$p/build" -DOUT=
  rm "$p/build/voice_table"
  refused "$p/voices" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p"
  refused "$p/voices" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p/voices/new"
  says "would be created in the table folder"
  refused "$p/voices" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p/voices\\;x"
  # (DEPENDS, so that the folders need not exist.)
  refused "$p/v\$(x)" -S "$p" -B "$p/build" "-DOUT=DIRECTORY;$p/v\$(x);DEPENDS;$p/voices/DATA"
  refused "$p/v\$<0:x>" -S "$p" -B "$p/build" "-DOUT=DIRECTORY;$p/v\$<0:x>;DEPENDS;$p/voices/DATA"
  refused "$p/o#x" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p/o#x"
  table_as_noted "$p/voices"
  # A table the build makes, with the output folder inside it.
  refused "$p/build/made" -S "$p" -B "$p/build" \
    "-DOUT=DIRECTORY;$p/build/made;OUTPUT_DIRECTORY;$p/build/made/out;DEPENDS;$p/voices/DATA"
  # No table folder, or no DATA in it.
  refused "$p/none" -S "$p" -B "$p/build" "-DOUT=DIRECTORY;$p/none"
  mv "$p/voices/DATA" "$p/DATA.away"
  refused "$p/voices" -S "$p" -B "$p/build" -DOUT=
  mv "$p/DATA.away" "$p/voices/DATA"
}

scenario_accepts_output_folders_beside_the_table() {
  local p=$scratch/beside row table out
  # Each table folder and an output folder beside it whose name begins with
  # the table's, is the beginning of it, or differs from it in case only,
  # where the file system tells them apart (names fixed here, so that no
  # random letter decides).
  local rows=("sounds sounds-out" "strings string")
  if [ "$(uname -s)" = Linux ]; then rows+=("voices Voices"); fi
  project_with "$p" "$find_it"
  for row in "${rows[@]}"; do
    read -r table out <<<"$row"
    new_table "$p/$table"
    echo "adpcmtbl_add_table($table DIRECTORY $table OUTPUT_DIRECTORY \${CMAKE_SOURCE_DIR}/$out)" \
      >>"$p/CMakeLists.txt"
  done
  configure -S "$p" -B "$p/build"
  build_twice "$p/build"
  for row in "${rows[@]}"; do
    read -r table out <<<"$row"
    reference "$p/$table"
    same_as_reference "$p/$out"
    table_as_noted "$p/$table"
  done
}

scenario_refuses_two_tables_in_one_output_folder() {
  local p=$scratch/one-folder
  new_table "$p/voices"
  project_with "$p" "$find_it" 'adpcmtbl_add_table(${FIRST} DIRECTORY voices OUTPUT_DIRECTORY out)' \
    'adpcmtbl_add_table(second DIRECTORY voices OUTPUT_DIRECTORY ${OUT})'
  refused "$p/build/out" -S "$p" -B "$p/build" -DFIRST=first -DOUT=out
  says "adpcmtbl_add_table(second)" "adpcmtbl_add_table(first)" "$p/build/out"
  # The same folder by another name.
  mkdir -p "$p/build/out"
  ln -s out "$p/build/also"
  refused "$p/build/also" -S "$p" -B "$p/build" -DOUT=also/
  says "adpcmtbl_add_table(second)" "adpcmtbl_add_table(first)"
  # A first target whose name CMake would read as false.
  refused "$p/build/out" -S "$p" -B "$p/build" -DFIRST=no -DOUT=out
  says "adpcmtbl_add_table(second)" "adpcmtbl_add_table(no)"
  table_as_noted "$p/voices"
}

# The target that writes DATA is named no, which CMake would read as false.
scenario_data_made_by_a_target_needs_byproducts() {
  local p=$scratch/made-data generator b
  new_table "$p/sources"
  project_with "$p" "$find_it" 'set(gen ${CMAKE_BINARY_DIR}/gen)' \
    'file(GLOB table ${CMAKE_SOURCE_DIR}/sources/*)' \
    'add_custom_target(no COMMAND ${CMAKE_COMMAND} -E make_directory ${gen}' \
    '  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${table} ${gen} ${DECLARED} VERBATIM)' \
    'adpcmtbl_add_table(voice_table DIRECTORY ${gen} DEPENDS no)'
  # A Makefile generator runs the target first and builds as it always did;
  # Ninja would stop on the missing file, so configure says what to add.
  for generator in "Unix Makefiles" Ninja; do
    b="$p/build-$generator"
    if [ "$generator" = Ninja ]; then
      refused "$b/gen" -S "$p" -B "$b" -G "$generator"
      says "adpcmtbl_add_table(voice_table)" "BYPRODUCTS $b/gen/DATA" \
        "If a target of DEPENDS (no) writes it"
    else
      configure -S "$p" -B "$b" -G "$generator"
      build_twice "$b"
      same_as_reference "$b/voice_table"
      rm -rf "$b"
    fi
    configure -S "$p" -B "$b" -G "$generator" "-DDECLARED=BYPRODUCTS;$b/gen/DATA"
    build_twice "$b"
    same_as_reference "$b/voice_table"
  done
  table_as_noted "$p/sources"
}

scenario_parallel_runs_work_in_folders_of_their_own() {
  local p=$scratch/own-folders
  new_table "$p/voices"
  # Each run marks its working folder, waits (10 s at most) until another
  # run has started, and fails if it finds that run's mark where it works.
  wrapped_prefix "$scratch/marking" "met=$scratch/met" \
    ': >".run.$$"; mkdir -p "$met"; : >"$met/$$"; n=0' \
    'while [ "$(ls "$met" | wc -l)" -lt 2 ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done' \
    'for mark in .run.*; do' \
    '  [ "$mark" = ".run.$$" ] || { echo "adpcmtbl: $PWD is shared with run $mark" >&2; exit 9; }' \
    'done' \
    '[ $n -lt 100 ] && : >"$met.both"'
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)" \
    'add_custom_command(OUTPUT rom/PCMTBL' \
    '  COMMAND ${CMAKE_COMMAND} -E copy ${voice_table_PCMTBL} rom/PCMTBL' \
    '  DEPENDS ${voice_table_PCMTBL} VERBATIM)' \
    'add_custom_target(rom ALL DEPENDS rom/PCMTBL)'
  configure -S "$p" -B "$p/build" -G "Unix Makefiles"
  build "$p/build" --parallel 2
  [ -e "$scratch/met.both" ] ||
    fail "the table's rule never ran twice at once ($(find "$scratch/met" -type f | wc -l) runs): nothing was tried"
  same_as_reference "$p/build/voice_table"
  only_outputs "$p/build/voice_table"
  table_as_noted "$p/voices"
}

scenario_killed_run_is_cleaned_away() {
  local p=$scratch/killed b pid n=0
  new_table "$p/voices"
  # A run that says it started, then waits, while $scratch/slow exists.
  wrapped_prefix "$scratch/slow-tool" "if [ -e '$scratch/slow' ]; then" \
    "  : >'$scratch/started'; sleep 20" "fi"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  for generator in "Unix Makefiles" Ninja; do
    b="$p/build-$generator"
    configure -S "$p" -B "$b" -G "$generator"
    : >"$scratch/slow"
    rm -f "$scratch/started"
    setsid cmake --build "$b" >"$scratch/killed.log" 2>&1 &
    pid=$!
    while [ ! -e "$scratch/started" ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done
    kill -KILL -- "-$pid"
    wait "$pid" || true
    [ -e "$scratch/started" ] || { cat "$scratch/killed.log" >&2; fail "the run never started"; }
    [ -n "$(leftovers "$b/voice_table")" ] ||
      fail "the killed run left nothing in $b/voice_table: nothing was tried"
    rm "$scratch/slow"
    build "$b"
    same_as_reference "$b/voice_table"
    build "$b" --target clean
    [ -z "$(ls -A "$b/voice_table")" ] || fail "clean left in $b/voice_table: $(ls -A "$b/voice_table")"
    build_twice "$b"
    only_outputs "$b/voice_table"
    same_as_reference "$b/voice_table"
  done
  table_as_noted "$p/voices"
}

scenario_table_at_the_project_root_with_output_directory() {
  local p=$scratch/root
  new_table "$p"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY .)" \
    'adpcmtbl_add_table(elsewhere DIRECTORY . OUTPUT_DIRECTORY ${CMAKE_SOURCE_DIR}/../roms)'
  note_table "$p"
  configure -S "$p" -B "$p/build"
  build_twice "$p/build"
  same_as_reference "$p/build/voice_table"
  same_as_reference "$scratch/roms"
  build "$p/build" --target clean
  table_as_noted "$p"
}

scenario_odd_folder_names_under_both_generators() {
  local generator p t
  for generator in "Unix Makefiles" Ninja; do
    p="$scratch/odd/$generator"
    # Trailing blanks too, which a -D on a command line would lose.
    t="$p/v [1] *?(\$x)#é 音 "
    new_table "$t"
    project_with "$p" "$find_it" \
      "adpcmtbl_add_table(voice_table DIRECTORY [==[$t]==] OUTPUT_DIRECTORY [==[$p/out ]==])"
    configure -S "$p" -B "$p/build" -G "$generator"
    build_twice "$p/build"
    same_as_reference "$p/out "
    rm "$t/VOICE.1"
    note_table "$t"
    made_again "$p/build" "rm VOICE.1"
    build "$p/build" --target clean
    table_as_noted "$t"
  done
}

# The target that makes VOICE.2 is named off, which CMake would read as false.
scenario_table_made_by_the_build() {
  local p=$scratch/generated
  new_table "$p/sources"
  project_with "$p" "$find_it" 'set(made ${CMAKE_CURRENT_BINARY_DIR}/made)' \
    'add_custom_command(OUTPUT ${made}/DATA ${made}/VOICE.1' \
    '  COMMAND ${CMAKE_COMMAND} -E make_directory ${made}' \
    '  COMMAND ${CMAKE_COMMAND} -E copy sources/DATA sources/VOICE.1 ${made}' \
    '  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} DEPENDS sources/DATA VERBATIM)' \
    'add_custom_target(off COMMAND ${CMAKE_COMMAND} -E make_directory ${made}' \
    '  COMMAND ${CMAKE_COMMAND} -E copy sources/VOICE.2 ${made}' \
    '  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} BYPRODUCTS ${made}/VOICE.2 VERBATIM)' \
    'adpcmtbl_add_table(voice_table DIRECTORY ${made} DEPENDS ${made}/DATA ${made}/VOICE.1 off)'
  configure -S "$p" -B "$p/build"
  build_twice "$p/build"
  reference "$p/build/made"
  same_as_reference "$p/build/voice_table"
  logged_as_reference
  # The DATA the build makes, made again.
  touch "$p/sources/DATA"
  note_table "$p/sources"
  made_again "$p/build" "the DATA the build makes changed"
  table_as_noted "$p/sources"
}

scenario_build_log_shows_messages_then_the_listing() {
  local p=$scratch/log generator
  new_full_table "$p/voices"
  rm "$p/voices/VOICE.3"
  note_table "$p/voices"
  reference "$p/voices"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  for generator in "Unix Makefiles" Ninja; do
    configure -S "$p" -B "$p/build-$generator" -G "$generator"
    build "$p/build-$generator"
    logged_as_reference
  done
  table_as_noted "$p/voices"
}

scenario_thirty_parallel_builds_use_the_outputs() {
  local p=$scratch/dependent generator b
  new_full_table "$p/voices"
  project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)" \
    'add_custom_command(OUTPUT rom/PCMTBL rom/pcmxml.txt' \
    '  COMMAND ${CMAKE_COMMAND} -E make_directory rom' \
    '  COMMAND ${CMAKE_COMMAND} -E copy ${voice_table_PCMTBL} ${voice_table_MAP} rom' \
    '  DEPENDS ${voice_table_PCMTBL} ${voice_table_MAP} VERBATIM)' \
    'add_custom_target(rom ALL DEPENDS rom/PCMTBL rom/pcmxml.txt)' \
    'add_subdirectory(other)'
  mkdir "$p/other"
  printf '%s\n' 'set(pcmtbl $<TARGET_PROPERTY:voice_table,ADPCMTBL_PCMTBL>)' \
    'add_custom_command(OUTPUT rom/PCMTBL COMMAND ${CMAKE_COMMAND} -E copy ${pcmtbl} rom/PCMTBL' \
    '  DEPENDS voice_table ${pcmtbl} VERBATIM)' \
    'add_custom_target(other_rom ALL DEPENDS rom/PCMTBL)' >"$p/other/CMakeLists.txt"
  for generator in "Unix Makefiles" Ninja; do
    b="$p/build-$generator"
    configure -S "$p" -B "$b" -G "$generator"
    for _ in $(seq "$builds_in_a_row"); do
      build "$b" --target clean
      build "$b" --parallel 2
      logged_whole_in_each_run  # and so every voice file present found
      same_as_reference "$b/rom"
      same_file "$scratch/reference/PCMTBL" "$b/other/rom/PCMTBL"
    done
    only_outputs "$b/voice_table"
    table_as_noted "$p/voices"
  done
}

scenario_built_as_a_subproject() {
  local p=$scratch/sub
  new_table "$p/voices"
  project_with "$p" "add_subdirectory(\"$source_dir\" adpcmtbl)" \
    "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  configure -S "$p" -B "$p/build"
  build_twice "$p/build" --parallel 2
  same_as_reference "$p/build/voice_table"
  # Nothing of the project's own: no tests, fuzzer, packages or demo.
  build "$p/build" --target help
  if grep -E 'test|fuzz|demo|package|portable' "$scratch/build.log" >&2; then
    fail "the subproject adds targets of its own"
  fi
  if [ -e "$p/build/CPackConfig.cmake" ] || [ -e "$p/build/adpcmtbl/CTestTestfile.cmake" ]; then
    fail "the subproject adds packages or tests"
  fi
  table_as_noted "$p/voices"
}

scenario_fetched_with_and_without_an_installed_package() {
  local p=$scratch/fetched
  new_table "$p/voices"
  # The URL is never reached: the source folder stands in for it, as it does
  # for a build without network.
  project_with "$p" "include(FetchContent)" \
    "FetchContent_Declare(adpcmtbl URL https://adpcmtbl.invalid/adpcmtbl.tar.gz FIND_PACKAGE_ARGS 1.0)" \
    "FetchContent_MakeAvailable(adpcmtbl)" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
  cmake -S "$p" -B "$p/build" -DFETCHCONTENT_SOURCE_DIR_ADPCMTBL="$source_dir" >"$scratch/configure.log" ||
    fail "configure failed with FetchContent"
  build_twice "$p/build" --parallel 2
  same_as_reference "$p/build/voice_table"
  [ -x "$p/build/_deps/adpcmtbl-build/adpcmtbl" ] || fail "the tool not built from source"
  configure -S "$p" -B "$p/found"
  build_twice "$p/found"
  same_as_reference "$p/found/voice_table"
  [ ! -e "$p/found/_deps/adpcmtbl-build" ] || fail "the installed package did not come first"
  table_as_noted "$p/voices"
}

run_scenario "$@"
