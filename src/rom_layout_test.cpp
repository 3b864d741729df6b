// rom_layout_test.cpp: the layout arithmetic, with marks chosen at the edges
// of the rounding, the sign and the 16-bit wrap.
#include "rom_layout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

VoiceEntry Voice(std::uint16_t start_mark, std::uint16_t end_mark,
                 unsigned char attribute = 0) {
  VoiceEntry voice = {};
  voice.name[0] = 'V';
  voice.start_mark = start_mark;
  voice.end_mark = end_mark;
  voice.attribute = attribute;
  return voice;
}

TEST(RomLayout, LengthRoundsTowardMinusInfinity) {
  struct Case {
    std::uint16_t start_mark, end_mark;
    std::int32_t end_address;  // the voice starts at address 100
  };
  const Case cases[] = {
      {0, 10, 102},      {0, 0, 100},       {0, 3, 100},
      {4, 3, 99},        {4, 0, 99},        {5, 0, 98},
      {0xFFFF, 0, 100 - 16384},  // largest negative difference
      {0, 0xFFFF, 100 + 16383},  // largest positive difference
  };
  for (const Case& c : cases) {
    RomLayout layout = {};
    layout.running_address = 100;
    EXPECT_EQ(LayOutVoice(&layout, 0, Voice(c.start_mark, c.end_mark)), 100);
    EXPECT_EQ(layout.running_address, c.end_address + 4)
        << c.start_mark << ".." << c.end_mark;
  }
}

TEST(RomLayout, RecordsHoldLow16BitsAndTheAttribute) {
  RomLayout layout = {};
  layout.running_address = 0xFFFE;  // end lies past 0xFFFF
  LayOutVoice(&layout, 31, Voice(0, 16, 0xFF));
  layout.running_address = -60;
  LayOutVoice(&layout, 1, Voice(8, 0, 0x7F));

  const unsigned char last[kRecordSize] = {0xFE, 0xFF, 0x02, 0x00, 0, 0, 0xFF, 0};
  const unsigned char negative[kRecordSize] = {0xC4, 0xFF, 0xC2, 0xFF, 0, 0, 0x7F, 0};
  EXPECT_EQ(0, std::memcmp(layout.address_table + 31 * kRecordSize, last, kRecordSize));
  EXPECT_EQ(0, std::memcmp(layout.address_table + 1 * kRecordSize, negative, kRecordSize));
  for (std::size_t i = 2 * kRecordSize; i < 31 * kRecordSize; ++i) {
    ASSERT_EQ(layout.address_table[i], 0) << "byte " << i;
  }
}

TEST(RomLayout, ByteOffsetIsTwosComplementOfAddressTimesFour) {
  EXPECT_EQ(RomByteOffset(0x404), 0x1010u);
  EXPECT_EQ(RomByteOffset(0x40000), 0x100000u);
  EXPECT_EQ(RomByteOffset(-60), 0xFFFFFF10u);
}

}  // namespace
