// voice_table.cpp: loading DATA and decoding its voice entries.
#include "voice_table.h"

#include <cstring>

namespace {

const unsigned char* Entry(const VoiceTable& table, int slot) {
  return table.image + (static_cast<std::size_t>(slot) * kVoiceEntrySize);
}

std::uint16_t ReadLittleEndian16(const unsigned char* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

bool LoadVoiceTable(std::FILE* data, VoiceTable* table) {
  // The count is deliberately not examined: a short DATA leaves the rest of
  // the image zero, which reads as the end of the table or as zero fields.
  [[maybe_unused]] const std::size_t count =
      std::fread(table->image, 1, kVoiceTableSize, data);
  return std::ferror(data) == 0;
}

bool IsTableEnd(const VoiceTable& table, int slot) {
  return Entry(table, slot)[kNameOffset] == 0;
}

VoiceEntry ReadVoiceEntry(const VoiceTable& table, int slot) {
  const unsigned char* entry = Entry(table, slot);
  VoiceEntry voice = {};
  // voice.name has one byte more than the field, left zero, so a name that
  // fills all 16 bytes still ends.
  std::memcpy(voice.name, entry + kNameOffset, kNameSize);
  voice.start_mark = ReadLittleEndian16(entry + kStartMarkOffset);
  voice.end_mark = ReadLittleEndian16(entry + kEndMarkOffset);
  voice.attribute = entry[kAttributeOffset];
  return voice;
}
