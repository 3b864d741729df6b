// rom_layout_test.cpp: laying out one voice at the edges of the rounding,
// the sign and the 16-bit wrap.
#include "rom_layout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(RomLayout, FillsTheRecordAndMovesTheRunningAddress) {
  struct Case {
    std::int32_t start;
    std::uint16_t start_mark, end_mark;
    unsigned char attribute;
    unsigned char record[kRecordSize];
    std::int32_t next;
  };
  const Case cases[] = {
      {0x404, 0x0100, 0x0900, 0x00, {0x04, 0x04, 0x04, 0x06, 0, 0, 0x00, 0}, 0x608},
      {0x608, 0x2000, 0x1FFD, 0x7F, {0x08, 0x06, 0x07, 0x06, 0, 0, 0x7F, 0}, 0x60B},
      {100, 5, 0, 0x7F, {100, 0, 98, 0, 0, 0, 0x7F, 0}, 102},    // -5 -> -2
      {0xFFFE, 0, 16, 0xFF, {0xFE, 0xFF, 0x02, 0x00, 0, 0, 0xFF, 0}, 0x10006},
      {-60, 8, 0, 0x80, {0xC4, 0xFF, 0xC2, 0xFF, 0, 0, 0x80, 0}, -58},
  };
  constexpr int kSlot = 5;
  for (const Case& c : cases) {
    RomLayout layout = {};
    layout.running_address = c.start;
    VoiceEntry voice = {};
    voice.start_mark = c.start_mark;
    voice.end_mark = c.end_mark;
    voice.attribute = c.attribute;
    SCOPED_TRACE(testing::Message() << c.start << ": " << c.start_mark << ".." << c.end_mark);
    EXPECT_EQ(LayOutVoice(&layout, kSlot, voice), c.start);
    EXPECT_EQ(layout.running_address, c.next);
    unsigned char want[kAddressTableSize] = {};
    std::memcpy(want + (kSlot * kRecordSize), c.record, kRecordSize);
    EXPECT_EQ(0, std::memcmp(layout.address_table, want, kAddressTableSize));
  }
}

}  // namespace
