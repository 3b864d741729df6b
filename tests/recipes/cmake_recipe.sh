#!/usr/bin/env bash
# CI: adpcmtbl_add_table() in projects laid out as users lay them out: the
# installed package and the project built as a subproject, odd paths, build
# folders in and around the table folder, tables made by the build, parallel
# builds that use the outputs, and the build log.  After every build, rebuild
# and clean, the table folder holds exactly the names and bytes it held
# before.
#   .ci/check_cmake_recipe PREFIX   (PREFIX: where the tool is installed)
recipe=cmake
# shellcheck source=tests/recipes/common.sh
source "$(dirname "$0")/common.sh"

# The checks as they stood, one scenario for now.
scenario_all() {
source=$PWD
tool=$prefix/bin/adpcmtbl
step() { printf '\n--- %s\n' "$*"; }
builds_in_a_row=30

# Every name, kind, link target and content below a table folder, but for
# the build folder that a project may keep inside it.
table_state() {  # folder [build folder name]
  (cd "$1" && find . -mindepth 1 \( -path "./${2:-/}" -prune \) -o -printf '%y %p %l\n' |
    LC_ALL=C sort && find . \( -path "./${2:-/}" -prune \) -o -type f -exec sha256sum {} + |
    LC_ALL=C sort)
}
# A copy of examples/demo at $1; its state is kept beside it, and the tool's
# own run on a second copy, with both streams in one file, is the reference.
new_table() {  # folder
  mkdir -p "$(dirname "$1")"
  cp -r examples/demo "$1"
  rm "$1"/*.py
  table_state "$1" build >"$1.state"
  rm -rf "$scratch/reference" && cp -r "$1" "$scratch/reference"
  (cd "$scratch/reference" && "$tool" >log 2>&1) || true
}
untouched() {  # folder
  table_state "$1" build | diff "$1.state" - || { echo "FAIL: $1 changed" >&2; exit 1; }
}
same_table() {  # output folder
  cmp "$scratch/reference/PCMTBL" "$1/PCMTBL"
  cmp "$scratch/reference/pcmxml.txt" "$1/pcmxml.txt"
}
# A project whose CMakeLists.txt is the given lines, after the usual head.
project_with() {  # folder lines...
  local folder=$1
  shift
  mkdir -p "$folder"
  printf '%s\n' "cmake_minimum_required(VERSION 3.25)" "project(rom LANGUAGES NONE)" "$@" \
    >"$folder/CMakeLists.txt"
}
find_it="find_package(adpcmtbl 1.0 REQUIRED)"
configure() { cmake "$@" -DCMAKE_PREFIX_PATH="$prefix" >"$scratch/configure.log" 2>&1; }
# Configuring must stop with a message that names the table folder.
refused() {  # table folder, configure arguments...
  local table=$1
  shift
  if configure "$@"; then echo "FAIL: configured: $*" >&2; exit 1; fi
  grep -F "$(basename "$table")" "$scratch/configure.log" >/dev/null ||
    { cat "$scratch/configure.log"; echo "FAIL: the message names no table folder" >&2; exit 1; }
}
# Builds, then builds again: nothing may run the second time.
build_twice() {  # build folder, build arguments...
  local build=$1
  shift
  cmake --build "$build" "$@" >"$scratch/build.log" 2>&1 || { cat "$scratch/build.log"; exit 1; }
  cmake --build "$build" "$@" >"$scratch/again.log" 2>&1
  if grep 'adpcmtbl:' "$scratch/again.log"; then echo "FAIL: made again for nothing" >&2; exit 1; fi
}

step "installed package; the table remade exactly when a voice file comes or goes"
t=$scratch/installed/voices
new_table "$t"
project_with "$scratch/installed" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
configure -S "$scratch/installed" -B "$scratch/installed/build"
build_twice "$scratch/installed/build"
same_table "$scratch/installed/build/voice_table"
untouched "$t"
for change in "rm VOICE.3" "cp VOICE.1 VOICE.9" "touch DATA" "rm VOICE.1 VOICE.2 VOICE.4"; do
  (cd "$t" && $change)
  table_state "$t" >"$t.state"
  cmake --build "$scratch/installed/build" | grep 'adpcmtbl:' >/dev/null  # made again
  rm -rf "$scratch/reference" && cp -r "$t" "$scratch/reference"
  (cd "$scratch/reference" && "$tool" >/dev/null 2>&1)
  same_table "$scratch/installed/build/voice_table"
  untouched "$t"
done
# A clean, then a build from scratch, with no voice file left.
rm "$t"/VOICE.*
table_state "$t" >"$t.state"
cmake --build "$scratch/installed/build" --target clean >/dev/null
untouched "$t"
cmake --build "$scratch/installed/build" >/dev/null
untouched "$t"
# The output folder turned into a link to the table since configuring.
rm -r "$scratch/installed/build/voice_table"
ln -s ../voices "$scratch/installed/build/voice_table"
touch -d tomorrow "$t/DATA"
table_state "$t" >"$t.state"
if cmake --build "$scratch/installed/build" >"$scratch/build.log" 2>&1; then
  echo "FAIL: built into a link to the table" >&2; exit 1
fi
untouched "$t"

step "folders the build must not write into: refused at configure time"
# The target named as the table folder, configured in the source folder.
p=$scratch/in-source
new_table "$p/voices"
project_with "$p" "$find_it" "adpcmtbl_add_table(voices DIRECTORY voices)"
refused "$p/voices" -S "$p" -B "$p"
untouched "$p/voices"
# A table at the project's root, configured in place, from a subdirectory,
# whatever the output folder.
p=$scratch/root-in-place
new_table "$p"
project_with "$p" "$find_it" "add_subdirectory(rom)"
mkdir "$p/rom"
echo 'adpcmtbl_add_table(voice_table DIRECTORY .. ${OUT})' >"$p/rom/CMakeLists.txt"
refused "$p" -S "$p" -B "$p" -DOUT=
refused "$p" -S "$p" -B "$p" "-DOUT=OUTPUT_DIRECTORY;$scratch/root-in-place.out"
[ ! -e "$p/rom/voice_table" ] && [ ! -e "$scratch/root-in-place.out" ] ||
  { echo "FAIL: an output folder made" >&2; exit 1; }
# The output folder a link to the table, or a folder that holds it.
p=$scratch/linked
new_table "$p/voices"
project_with "$p" "$find_it" 'adpcmtbl_add_table(voice_table DIRECTORY voices ${OUT})'
mkdir "$p/build" && ln -s ../voices "$p/build/voice_table"
refused "$p/voices" -S "$p" -B "$p/build" -DOUT=
rm "$p/build/voice_table"
refused "$p/voices" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p"
refused "$p/voices" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p/voices/new"
refused "$p/voices" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p/voices\\;x"
# (DEPENDS, so that the folders need not exist.)
refused "$p/v\$(x)" -S "$p" -B "$p/build" "-DOUT=DIRECTORY;$p/v\$(x);DEPENDS;$p/voices/DATA"
refused "$p/v\$<0:x>" -S "$p" -B "$p/build" "-DOUT=DIRECTORY;$p/v\$<0:x>;DEPENDS;$p/voices/DATA"
refused "$p/o#x" -S "$p" -B "$p/build" "-DOUT=OUTPUT_DIRECTORY;$p/o#x"
untouched "$p/voices"
# A table the build makes, with the output folder inside it.
refused "$p/build/made" -S "$p" -B "$p/build" \
  "-DOUT=DIRECTORY;$p/build/made;OUTPUT_DIRECTORY;$p/build/made/out;DEPENDS;$p/voices/DATA"
# No table folder, or no DATA in it.
refused "$p/none" -S "$p" -B "$p/build" "-DOUT=DIRECTORY;$p/none"
mv "$p/voices/DATA" "$p/DATA.away"
refused "$p/voices" -S "$p" -B "$p/build" -DOUT=
mv "$p/DATA.away" "$p/voices/DATA"

step "a table at the project's root, built in build/; OUTPUT_DIRECTORY"
p=$scratch/root
new_table "$p"
project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY .)" \
  'adpcmtbl_add_table(elsewhere DIRECTORY . OUTPUT_DIRECTORY ${CMAKE_SOURCE_DIR}/../roms)'
table_state "$p" build >"$p.state"
configure -S "$p" -B "$p/build"
build_twice "$p/build"
same_table "$p/build/voice_table"
same_table "$scratch/roms"
cmake --build "$p/build" --target clean >/dev/null
untouched "$p"

step "every character a folder name may hold, under both generators"
for generator in "Unix Makefiles" Ninja; do
  p="$scratch/odd/$generator"
  # Trailing blanks too, which a -D on a command line would lose.
  t="$p/v [1] *?(\$x)#é 音 "
  new_table "$t"
  project_with "$p" "$find_it" \
    "adpcmtbl_add_table(voice_table DIRECTORY [==[$t]==] OUTPUT_DIRECTORY [==[$p/out ]==])"
  configure -S "$p" -B "$p/build" -G "$generator"
  build_twice "$p/build"
  same_table "$p/out "
  rm "$t/VOICE.1"
  table_state "$t" build >"$t.state"
  cmake --build "$p/build" | grep 'adpcmtbl:' >/dev/null  # made again
  cmake --build "$p/build" --target clean >/dev/null
  untouched "$t"
done

step "a table made by the build (DEPENDS)"
p=$scratch/generated
new_table "$p/sources"
project_with "$p" "$find_it" 'set(made ${CMAKE_CURRENT_BINARY_DIR}/made)' \
  'add_custom_command(OUTPUT ${made}/DATA ${made}/VOICE.1' \
  '  COMMAND ${CMAKE_COMMAND} -E make_directory ${made}' \
  '  COMMAND ${CMAKE_COMMAND} -E copy sources/DATA sources/VOICE.1 ${made}' \
  '  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} DEPENDS sources/DATA VERBATIM)' \
  'add_custom_target(voice_2 COMMAND ${CMAKE_COMMAND} -E make_directory ${made}' \
  '  COMMAND ${CMAKE_COMMAND} -E copy sources/VOICE.2 ${made}' \
  '  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} BYPRODUCTS ${made}/VOICE.2 VERBATIM)' \
  'adpcmtbl_add_table(voice_table DIRECTORY ${made} DEPENDS ${made}/DATA ${made}/VOICE.1 voice_2)'
configure -S "$p" -B "$p/build"
build_twice "$p/build"
grep -x 'PCM NO. 2:STRINGS_SUSTAIN1 ADR:01010' "$scratch/build.log" >/dev/null
grep -x 'Not found "VOICE.3"' "$scratch/build.log" >/dev/null
untouched "$p/sources"

step "the build log: messages, then the listing, every line whole (32 voices)"
p=$scratch/log
new_table "$p/voices"
head -c 1024 fuzz/corpus/full32 >"$p/voices/DATA"
for n in $(seq 9 32); do echo adpcm >"$p/voices/VOICE.$n"; done
rm "$p/voices/VOICE.3"
table_state "$p/voices" >"$p/voices.state"
rm -rf "$scratch/reference" && cp -r "$p/voices" "$scratch/reference"
(cd "$scratch/reference" && "$tool" >log 2>&1)
project_with "$p" "$find_it" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
for generator in "Unix Makefiles" Ninja; do
  configure -S "$p" -B "$p/build-$generator" -G "$generator"
  cmake --build "$p/build-$generator" >"$scratch/build.log" 2>&1
  grep -A "$(($(wc -l <"$scratch/reference/log") - 1))" -x 'Velomira ADPCM Table maker' \
    "$scratch/build.log" | diff "$scratch/reference/log" -
done
untouched "$p/voices"

step "outputs used by a later step, in the same folder and another: $builds_in_a_row parallel builds a generator"
p=$scratch/dependent
new_table "$p/voices"
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
    cmake --build "$b" --target clean >/dev/null
    cmake --build "$b" --parallel 2 >"$scratch/build.log" 2>&1 || { cat "$scratch/build.log"; exit 1; }
    if grep 'Not found "VOICE.[1-46-9]"' "$scratch/build.log"; then exit 1; fi
    same_table "$b/rom"
    cmp "$scratch/reference/PCMTBL" "$b/other/rom/PCMTBL"
  done
  untouched "$p/voices"
done

step "the project as a subproject: add_subdirectory, and FetchContent with and without an installed package"
p=$scratch/sub
new_table "$p/voices"
project_with "$p" "add_subdirectory(\"$source\" adpcmtbl)" \
  "adpcmtbl_add_table(voice_table DIRECTORY voices)"
cmake -S "$p" -B "$p/build" >"$scratch/configure.log"
build_twice "$p/build" --parallel 2
same_table "$p/build/voice_table"
# Nothing of the project's own: no tests, fuzzer, packages or demo.
cmake --build "$p/build" --target help | grep -E 'test|fuzz|demo|package|portable' && exit 1
[ ! -e "$p/build/CPackConfig.cmake" ] && [ ! -e "$p/build/adpcmtbl/CTestTestfile.cmake" ]
untouched "$p/voices"
p=$scratch/fetched
new_table "$p/voices"
# The URL is never reached: the source folder stands in for it, as it does
# for a build without network.
project_with "$p" "include(FetchContent)" \
  "FetchContent_Declare(adpcmtbl URL https://adpcmtbl.invalid/adpcmtbl.tar.gz FIND_PACKAGE_ARGS 1.0)" \
  "FetchContent_MakeAvailable(adpcmtbl)" "adpcmtbl_add_table(voice_table DIRECTORY voices)"
cmake -S "$p" -B "$p/build" -DFETCHCONTENT_SOURCE_DIR_ADPCMTBL="$source" >"$scratch/configure.log"
build_twice "$p/build" --parallel 2
same_table "$p/build/voice_table"
[ -x "$p/build/_deps/adpcmtbl-build/adpcmtbl" ]  # built from source
configure -S "$p" -B "$p/found"
build_twice "$p/found"
same_table "$p/found/voice_table"
[ ! -e "$p/found/_deps/adpcmtbl-build" ]  # the installed package came first
untouched "$p/voices"

step "the CMake recipe holds"

}

run_scenario "$@"
