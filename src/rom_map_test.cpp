// rom_map_test.cpp: the exact bytes of the listing and ROM map lines.
#include "rom_map.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs |write| on a temporary stream and returns what it wrote.
template <typename Write>
std::string Captured(Write write) {
  std::FILE* stream = std::tmpfile();
  EXPECT_NE(stream, nullptr);
  EXPECT_GE(write(stream), 0);
  std::rewind(stream);
  char buffer[256] = {};
  const std::size_t n = std::fread(buffer, 1, sizeof buffer, stream);
  std::fclose(stream);
  return std::string(buffer, n);
}

TEST(RomMap, Lines) {
  struct Case {
    int voice_number;
    const char* name;
    std::int32_t start_address;
    const char* listing;
    const char* map;
  };
  const Case cases[] = {
      {2, "V2", 0x404, "PCM NO. 2:V2               ADR:01010\n",
       "\t\t\t<rom type=\"adpcm\" offset=\"0x01010\">voice.2</rom>\r\n"},
      {10, "SIXTEEN_BYTES_16", 0, "PCM NO.10:SIXTEEN_BYTES_16 ADR:00000\n",
       "\t\t\t<rom type=\"adpcm\" offset=\"0x00000\">voice.10</rom>\r\n"},
      {32, "", 0x40000, "PCM NO.32:                 ADR:100000\n",
       "\t\t\t<rom type=\"adpcm\" offset=\"0x100000\">voice.32</rom>\r\n"},
      {7, "\x83\x73%s", -60, "PCM NO. 7:\x83\x73%s             ADR:ffffff10\n",
       "\t\t\t<rom type=\"adpcm\" offset=\"0xffffff10\">voice.7</rom>\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Captured([&](std::FILE* f) {
                return WriteListingLine(f, c.voice_number, c.name, c.start_address);
              }),
              c.listing);
    EXPECT_EQ(Captured([&](std::FILE* f) {
                return WriteMapLine(f, c.voice_number, c.start_address);
              }),
              c.map);
  }
}

}  // namespace
