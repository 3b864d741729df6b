// rom_map.cpp: formatting the listing and ROM map lines.
#include "rom_map.h"

#include "rom_layout.h"

// %x takes an unsigned int; the offsets are 32-bit.
static_assert(sizeof(unsigned int) == sizeof(std::uint32_t),
              "ROM offsets are printed through %x");

int WriteListingLine(std::FILE* out, int voice_number, const char* name,
                     std::int32_t start_address) {
  return std::fprintf(out, "PCM NO.%2d:%-16s ADR:%05x\n", voice_number, name,
                      static_cast<unsigned int>(RomByteOffset(start_address)));
}

int WriteMapLine(std::FILE* map, int voice_number, std::int32_t start_address) {
  // The map is opened in binary mode, so "\r\n" reaches the file unchanged.
  return std::fprintf(
      map, "\t\t\t<rom type=\"adpcm\" offset=\"0x%05x\">voice.%d</rom>\r\n",
      static_cast<unsigned int>(RomByteOffset(start_address)), voice_number);
}
