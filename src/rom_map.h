// rom_map.h: the two lines reported for each voice laid out: the listing
// line for the console and the ROM map line for pcmxml.txt.
#ifndef ADPCMTBL_ROM_MAP_H_
#define ADPCMTBL_ROM_MAP_H_

#include <cstdint>
#include <cstdio>

// Writes the voice's listing line, its number, name and ROM byte offset, to
// |out|.  Returns what fprintf returns: negative on an error.
int WriteListingLine(std::FILE* out, int voice_number, const char* name,
                     std::int32_t start_address);

// Writes the voice's <rom> element line, ending in CR LF whatever the
// platform, to the ROM map stream.  Returns what fprintf returns.
int WriteMapLine(std::FILE* map, int voice_number, std::int32_t start_address);

#endif  // ADPCMTBL_ROM_MAP_H_
