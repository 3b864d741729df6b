// voice_table_test.cpp: decoding entries from the raw image.
#include "voice_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(VoiceTable, DecodesNamesMarksAndAttribute) {
  VoiceTable table = {};
  unsigned char* full = table.image + 3 * kVoiceEntrySize;
  std::memcpy(full, "ABCDEFGHIJKLMNOPQRS", 19);  // spills into the marks
  full[kAttributeOffset] = 0xFF;
  unsigned char* cut = table.image + 4 * kVoiceEntrySize;
  std::memcpy(cut, "AB\0CD", 5);

  const VoiceEntry a = ReadVoiceEntry(table, 3);
  EXPECT_STREQ(a.name, "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(a.start_mark, 0x5251);  // "QR", little-endian
  EXPECT_EQ(a.end_mark, 0x0053);
  EXPECT_EQ(a.attribute, 0xFF);
  EXPECT_STREQ(ReadVoiceEntry(table, 4).name, "AB");

  EXPECT_TRUE(IsTableEnd(table, 0));
  EXPECT_FALSE(IsTableEnd(table, 3));
  EXPECT_FALSE(IsTableEnd(table, 4));
}

}  // namespace
