// rom_layout.cpp: the layout arithmetic and the address table writer.
#include "rom_layout.h"

namespace {

// Stores the low 16 bits of |value|, little-endian.  The conversion to
// unsigned is modulo 2^32, so a negative address keeps its two's-complement
// bits.
void StoreLow16(unsigned char* bytes, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  bytes[0] = static_cast<unsigned char>(bits & 0xFFU);
  bytes[1] = static_cast<unsigned char>((bits >> 8) & 0xFFU);
}

}  // namespace

std::int32_t LayOutVoice(RomLayout* layout, int slot, const VoiceEntry& voice) {
  // The marks are byte positions; the length in address units is their
  // signed difference divided by 4, rounded toward minus infinity, which is
  // exactly an arithmetic shift right by 2 (defined so since C++20):
  // 10 -> 2, -1 -> -1, -4 -> -1, -5 -> -2.
  const std::int32_t difference = static_cast<std::int32_t>(voice.end_mark) -
                                  static_cast<std::int32_t>(voice.start_mark);
  const std::int32_t length = difference >> 2;

  // With 32 voices of at most 16383 units each, every address stays within
  // about +-2^19, far from the limits of int32_t.
  const std::int32_t start = layout->running_address;
  const std::int32_t end = start + length;

  unsigned char* record =
      layout->address_table + (static_cast<std::size_t>(slot) * kRecordSize);
  StoreLow16(record + kRecordStartOffset, start);
  StoreLow16(record + kRecordEndOffset, end);
  record[kRecordAttributeOffset] = voice.attribute;

  layout->running_address = end + kVoiceGapUnits;
  return start;
}

std::uint32_t RomByteOffset(std::int32_t address) {
  // Multiplying in unsigned arithmetic wraps instead of overflowing: -60
  // gives 0xFFFFFF10.
  return static_cast<std::uint32_t>(address) * kAddressUnitBytes;
}

bool WriteAddressTable(std::FILE* pcmtbl, const RomLayout& layout) {
  return std::fwrite(layout.address_table, 1, kAddressTableSize, pcmtbl) ==
         kAddressTableSize;
}
