// voice_table.h: the voice table image loaded from DATA, and reading its
// 32-byte voice entries.
#ifndef ADPCMTBL_VOICE_TABLE_H_
#define ADPCMTBL_VOICE_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The voice table and the address table both have this many slots; the voice
// number shown to users and used in file names is the slot plus 1.
constexpr int kSlotCount = 32;

constexpr std::size_t kVoiceEntrySize = 32;
constexpr std::size_t kVoiceTableSize = kSlotCount * kVoiceEntrySize;

// Field offsets within a voice entry; the marks are little-endian 16-bit.
constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kNameSize = 16;
constexpr std::size_t kStartMarkOffset = 16;
constexpr std::size_t kEndMarkOffset = 18;
constexpr std::size_t kAttributeOffset = 27;

// The first 1024 bytes of DATA; bytes past the end of a shorter file stay zero.
struct VoiceTable {
  unsigned char image[kVoiceTableSize];
};

// One voice entry, decoded.  The name is NUL-terminated: it ends at its first
// zero byte or after all 16 bytes.
struct VoiceEntry {
  char name[kNameSize + 1];
  std::uint16_t start_mark;
  std::uint16_t end_mark;
  unsigned char attribute;
};

// Reads up to 1024 bytes of |data| into |table|, which must come zero-filled.
// A short file is fine; returns false only when the stream reports a read
// error (a directory opened as DATA, an I/O error).
bool LoadVoiceTable(std::FILE* data, VoiceTable* table);

// True when slot |slot| ends the table: its name begins with a zero byte.
bool IsTableEnd(const VoiceTable& table, int slot);

VoiceEntry ReadVoiceEntry(const VoiceTable& table, int slot);

#endif  // ADPCMTBL_VOICE_TABLE_H_
