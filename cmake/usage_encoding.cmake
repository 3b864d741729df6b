# usage_encoding.cmake: ADPCMTBL_USAGE_ENCODING, the encoding of the usage
# text's Japanese line: by default Shift_JIS on Windows, UTF-8 elsewhere.
set(usage_encodings UTF-8 Shift_JIS)
set(usage_encoding UTF-8)
if(WIN32)
  set(usage_encoding Shift_JIS)
endif()
set(usage_encoding_force "")
if(DEFINED CACHE{ADPCMTBL_UTF8_USAGE})
  # The switch this setting replaced still works.  Once read it leaves the
  # cache, so that it cannot stand against a later ADPCMTBL_USAGE_ENCODING.
  set(usage_encoding Shift_JIS)
  if(ADPCMTBL_UTF8_USAGE)
    set(usage_encoding UTF-8)
  endif()
  message(DEPRECATION "ADPCMTBL_UTF8_USAGE is deprecated and will be removed: "
    "set ADPCMTBL_USAGE_ENCODING to UTF-8 or Shift_JIS instead.  "
    "Taken as ADPCMTBL_USAGE_ENCODING=${usage_encoding}.")
  unset(ADPCMTBL_UTF8_USAGE CACHE)
  set(usage_encoding_force FORCE)
endif()
set(ADPCMTBL_USAGE_ENCODING ${usage_encoding} CACHE STRING
  "Encoding of the usage text's Japanese line: UTF-8 or Shift_JIS" ${usage_encoding_force})
set_property(CACHE ADPCMTBL_USAGE_ENCODING PROPERTY STRINGS ${usage_encodings})
if(NOT ADPCMTBL_USAGE_ENCODING IN_LIST usage_encodings)
  message(FATAL_ERROR "ADPCMTBL_USAGE_ENCODING is \"${ADPCMTBL_USAGE_ENCODING}\": "
    "it must be UTF-8 or Shift_JIS")
endif()
# Seen by the tool, the bench floor and the tests.
if(ADPCMTBL_USAGE_ENCODING STREQUAL "UTF-8")
  add_compile_definitions(ADPCMTBL_USAGE_UTF8)
endif()
