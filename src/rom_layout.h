// rom_layout.h: placing voices one after another in ADPCM ROM, the address
// table image that records where each one went, and writing it to PCMTBL.
#ifndef ADPCMTBL_ROM_LAYOUT_H_
#define ADPCMTBL_ROM_LAYOUT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "voice_table.h"

// ROM addresses count units of 4 bytes; a byte offset is an address times 4.
constexpr std::uint32_t kAddressUnitBytes = 4;

// Units left free between the end address of one voice and the start of the
// next.
constexpr std::int32_t kVoiceGapUnits = 4;

// Address record: start and end address (low 16 bits, little-endian) and the
// voice's attribute byte; bytes 4, 5 and 7 are always zero.
constexpr std::size_t kRecordSize = 8;
constexpr std::size_t kRecordStartOffset = 0;
constexpr std::size_t kRecordEndOffset = 2;
constexpr std::size_t kRecordAttributeOffset = 6;
constexpr std::size_t kAddressTableSize = kSlotCount * kRecordSize;

struct RomLayout {
  // Written to PCMTBL as it stands; a slot not laid out keeps a zero record.
  unsigned char address_table[kAddressTableSize];
  // The next free ROM address, in address units.  It may go negative or past
  // 0xFFFF; the records keep only its low 16 bits.
  std::int32_t running_address;
};

// Places |voice| at the running address, fills record |slot| and moves the
// running address past it.  Returns the voice's start address.
std::int32_t LayOutVoice(RomLayout* layout, int slot, const VoiceEntry& voice);

// The ROM byte offset of |address|, as a 32-bit two's-complement value.
std::uint32_t RomByteOffset(std::int32_t address);

// Writes the 256-byte address table in one write; true when all of it was
// accepted by the stream.  Closing, and the errors that show only then, are
// the caller's.
bool WriteAddressTable(std::FILE* pcmtbl, const RomLayout& layout);

#endif  // ADPCMTBL_ROM_LAYOUT_H_
