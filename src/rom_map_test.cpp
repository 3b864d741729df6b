// rom_map_test.cpp: the exact bytes of the listing and ROM map lines.
#include "rom_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Returns what |write| wrote to a scratch stream.
template <typename Write>
std::string Written(Write write) {
  std::FILE* stream = std::tmpfile();
  if (stream == nullptr) {
    ADD_FAILURE() << "no scratch file to write to";
    return {};
  }
  EXPECT_GE(write(stream), 0);
  EXPECT_EQ(std::fseek(stream, 0, SEEK_SET), 0);
  char buffer[256];
  std::string written(buffer, std::fread(buffer, 1, sizeof buffer, stream));
  (void)std::fclose(stream);
  return written;
}

// The offset of the first byte where |a| and |b| differ, for the message.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first -
                                  a.begin());
}

TEST(RomMap, ListingAndMapLines) {
  struct Case {
    int number;
    const char* name;
    std::int32_t start;
    const char* listing;
    const char* offset;
  };
  const Case cases[] = {
      {2, "V2", 0x404, "PCM NO. 2:V2               ADR:01010\n", "0x01010\">voice.2<"},
      {32, "SIXTEEN_BYTES_16", 0x40000, "PCM NO.32:SIXTEEN_BYTES_16 ADR:100000\n",
       "0x100000\">voice.32<"},
      {7, "\x83\x73%s", -60, "PCM NO. 7:\x83\x73%s             ADR:ffffff10\n", "0xffffff10\">voice.7<"},
  };
  for (const Case& c : cases) {
    const std::string written_listing =
        Written([&](std::FILE* f) { return WriteListingLine(f, c.number, c.name, c.start); });
    EXPECT_EQ(written_listing, c.listing) << "voice " << c.number << ": the listing line differs from byte "
                                          << FirstDifference(written_listing, c.listing);
    const std::string written_map = Written([&](std::FILE* f) { return WriteMapLine(f, c.number, c.start); });
    const std::string want_map = std::string("\t\t\t<rom type=\"adpcm\" offset=\"") + c.offset + "/rom>\r\n";
    EXPECT_EQ(written_map, want_map) << "voice " << c.number << ": the map line differs from byte "
                                     << FirstDifference(written_map, want_map);
  }
}

}  // namespace
