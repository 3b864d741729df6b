# changelog.cmake: the release's version and date, read from the top entry of
# packaging/debian/changelog, the one file that holds them; included before
# project(), which takes the version.  Sets:
#   adpcmtbl_version     the entry's version, numeric (project() takes no other)
#   adpcmtbl_unreleased  TRUE for work in progress (distribution UNRELEASED)
#   adpcmtbl_date        its date, YYYY-MM-DD, as the manual page shows it
#   ADPCMTBL_CHANGELOG_EPOCH  its time in seconds since 1970, as
#                        `dpkg-parsechangelog -STimestamp` gives it
# and defines the writers of the files that take them from it:
# adpcmtbl_man_page() and adpcmtbl_changelog_md().

set(adpcmtbl_changelog ${CMAKE_CURRENT_LIST_DIR}/../packaging/debian/changelog)
get_filename_component(adpcmtbl_changelog ${adpcmtbl_changelog} ABSOLUTE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${adpcmtbl_changelog})
file(READ ${adpcmtbl_changelog} _adpcmtbl_entries)

# An entry, in Debian's format: its header line, a blank line, "  * " items
# whose lines go on indented by four, a blank line, and the trailer line.
set(_adpcmtbl_header "^adpcmtbl \\(([^)\n]*)\\) ([^;\n]*);[^\n]*\n")
set(_adpcmtbl_stamp "[A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9])")
string(APPEND _adpcmtbl_stamp
  " ([0-9][0-9]):([0-9][0-9]):([0-9][0-9]) ([+-])([0-9][0-9])([0-9][0-9])")
set(_adpcmtbl_trailer "\n -- [^\n]*>  ${_adpcmtbl_stamp}\n")

# Takes the first entry off |entries_var|: sets its version, distribution,
# items (the text between the blank lines) and trailer line in |prefix|_*;
# stops configuring where the text is no such entry.
function(_adpcmtbl_next_entry entries_var prefix)
  set(entries "${${entries_var}}")
  if(NOT entries MATCHES "${_adpcmtbl_header}\n")
    string(REGEX MATCH "^[^\n]*" line "${entries}")
    message(FATAL_ERROR "${adpcmtbl_changelog}: no entry header at: ${line}")
  endif()
  set(version "${CMAKE_MATCH_1}")
  set(${prefix}_version "${version}" PARENT_SCOPE)
  set(${prefix}_distribution "${CMAKE_MATCH_2}" PARENT_SCOPE)
  string(LENGTH "${CMAKE_MATCH_0}" length)
  string(SUBSTRING "${entries}" ${length} -1 entries)
  if(NOT entries MATCHES "\n${_adpcmtbl_trailer}")
    message(FATAL_ERROR "${adpcmtbl_changelog}: the entry for ${version} has "
      "no trailer line with a date (\" -- NAME <EMAIL>  Wed, 09 Dec 2026 18:46:17 +0000\")")
  endif()
  set(end "${CMAKE_MATCH_0}")
  string(FIND "${entries}" "${end}" at)
  string(SUBSTRING "${entries}" 0 ${at} items)
  string(LENGTH "${end}" length)
  math(EXPR at "${at} + ${length}")
  string(SUBSTRING "${entries}" ${at} -1 entries)
  # The blank lines between entries.
  string(REGEX REPLACE "^\n+" "" entries "${entries}")
  set(${entries_var} "${entries}" PARENT_SCOPE)
  set(${prefix}_items "${items}" PARENT_SCOPE)
  set(${prefix}_trailer "${end}" PARENT_SCOPE)
endfunction()

# The date of a trailer line as YYYY-MM-DD (in the time zone it is written
# in), in |date_var|, and its time in seconds since 1970 in |epoch_var|.
function(_adpcmtbl_entry_time trailer date_var epoch_var)
  string(REGEX MATCH "${_adpcmtbl_stamp}" stamp "${trailer}")
  set(fields day month_name year hour minute second sign zone_hours zone_minutes)
  foreach(n RANGE 1 9)
    list(POP_FRONT fields field)
    set(${field} "${CMAKE_MATCH_${n}}")
  endforeach()
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(FIND months "${month_name}" month)
  if(month LESS 0)
    message(FATAL_ERROR "${adpcmtbl_changelog}: no month ${month_name} in: ${stamp}")
  endif()
  math(EXPR date "(${year} * 100 + ${month} + 1) * 100 + ${day}")
  string(REGEX REPLACE "^(....)(..)" "\\1-\\2-" date ${date})
  # Days since 1970-01-01 (proleptic Gregorian), in years that begin on 1
  # March so that the leap day comes last: January and February count with
  # the year before.
  math(EXPR before_march "(11 - ${month}) / 10")
  math(EXPR year "${year} - ${before_march}")
  math(EXPR month "${month} + 12 * ${before_march} - 2")
  math(EXPR days "${year} * 365 + ${year} / 4 - ${year} / 100 + ${year} / 400
    + (153 * ${month} + 2) / 5 + ${day} - 1 - 719468")
  math(EXPR epoch "${days} * 86400 + ${hour} * 3600 + ${minute} * 60 + ${second}
    - (${sign}1) * (${zone_hours} * 3600 + ${zone_minutes} * 60)")
  set(${date_var} ${date} PARENT_SCOPE)
  set(${epoch_var} ${epoch} PARENT_SCOPE)
endfunction()

set(_adpcmtbl_rest "${_adpcmtbl_entries}")
_adpcmtbl_next_entry(_adpcmtbl_rest _adpcmtbl_top)
set(adpcmtbl_version "${_adpcmtbl_top_version}")
if(NOT adpcmtbl_version MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
  message(FATAL_ERROR "${adpcmtbl_changelog}: the top entry's version "
    "\"${adpcmtbl_version}\" is not numeric: the project takes its version from "
    "there, and project(VERSION) takes only numbers, as MAJOR.MINOR.PATCH")
endif()
string(COMPARE EQUAL "${_adpcmtbl_top_distribution}" UNRELEASED adpcmtbl_unreleased)
_adpcmtbl_entry_time("${_adpcmtbl_top_trailer}" adpcmtbl_date ADPCMTBL_CHANGELOG_EPOCH)

# Writes |output| with every entry, newest first, as "## VERSION (DATE)" (or
# "(unreleased)") and its items, "- " for "  * " and the lines under each
# indented by two; rewritten only when its text changes (configure_file).
function(adpcmtbl_changelog_md output)
  set(text "# adpcmtbl changelog\n\nWhat changed in each release, newest first; made from
packaging/debian/changelog in the adpcmtbl sources.\n")
  set(rest "${_adpcmtbl_entries}")
  while(NOT rest STREQUAL "")
    _adpcmtbl_next_entry(rest entry)
    _adpcmtbl_entry_time("${entry_trailer}" date epoch)
    if(entry_distribution STREQUAL "UNRELEASED")
      set(date unreleased)
    endif()
    string(REGEX REPLACE "^  \\* " "- " items "${entry_items}")
    string(REPLACE "\n  * " "\n- " items "${items}")
    string(REPLACE "\n    " "\n  " items "${items}")
    string(APPEND text "\n## ${entry_version} (${date})\n\n${items}\n")
  endwhile()
  _adpcmtbl_write(${output} "${text}")
endfunction()

# Writes |output| from the manual page |source|, whose .TH line leaves the
# date and version empty, with the entry's filled in.
function(adpcmtbl_man_page source output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} page)
  set(unfilled "^(\\.TH [^ ]+ [0-9]) \"\" \"adpcmtbl\" ")
  if(NOT page MATCHES "${unfilled}")
    message(FATAL_ERROR "${source} does not begin with .TH ADPCMTBL 1 \"\" \"adpcmtbl\": "
      "the build fills in the date and version there")
  endif()
  string(REGEX REPLACE "${unfilled}" "\\1 ${adpcmtbl_date} \"adpcmtbl ${adpcmtbl_version}\" "
    page "${page}")
  _adpcmtbl_write(${output} "${page}")
endfunction()

# Writes |text| to |output| only when it differs, so that what depends on the
# file is not made again for nothing (configure_file() compares).
function(_adpcmtbl_write output text)
  file(WRITE ${output}.new "${text}")
  configure_file(${output}.new ${output} COPYONLY)
  file(REMOVE ${output}.new)
endfunction()
