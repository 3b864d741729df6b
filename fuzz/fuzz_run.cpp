// fuzz_run.cpp: libFuzzer target that makes the table in memory from one
// fuzzed DATA image and checks PCMTBL, the listing and the ROM map against it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rom_layout.h"
#include "rom_map.h"
#include "voice_table.h"

namespace {

// Input: the DATA image, then the mask of the voice files present.
constexpr std::size_t kMaskOffset = kVoiceTableSize;
constexpr std::size_t kMaskSize = 4;
// A line of either kind fits, even with 8 hex digits and a 16-byte name.
constexpr std::size_t kLineRoom = 64;
constexpr std::size_t kLinesRoom = kSlotCount * kLineRoom;

void Check(bool ok, const char* invariant) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_run: %s\n", invariant);
    std::abort();
  }
}

std::uint32_t Le16(const unsigned char* bytes) { return bytes[0] + bytes[1] * 256U; }

// Checks that the output at |*p| goes on with the |length| bytes of |line|,
// and steps past them.
void TakeLine(const char** p, const char* end, const char* line, int length, const char* what) {
  Check(length > 0 && end - *p >= length && std::memcmp(*p, line, static_cast<std::size_t>(length)) == 0,
        what);
  *p += length;
}

// Checks that the memory stream took everything; returns how many bytes.
std::size_t Finish(std::FILE* stream, const char* what) {
  const long size = std::ftell(stream);
  Check(size >= 0 && std::fflush(stream) == 0 && std::ferror(stream) == 0, what);
  (void)std::fclose(stream);
  return static_cast<std::size_t>(size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  VoiceTable table = {};
  std::FILE* data_stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  Check(data_stream != nullptr && LoadVoiceTable(data_stream, &table), "DATA did not load");
  (void)std::fclose(data_stream);
  for (std::size_t i = 0; i < kVoiceTableSize; ++i) {
    Check(table.image[i] == (i < size ? data[i] : 0), "table image is not DATA zero-padded");
  }
  // An input too short to hold all four mask bytes, a short DATA included,
  // has every voice file present, as a run with -n.
  std::uint32_t present = 0xFFFFFFFFU;
  for (std::size_t i = kMaskSize; size >= kMaskOffset + kMaskSize && i-- > 0;) {
    present = present << 8 | data[kMaskOffset + i];
  }

  // The run, as the tool makes it, into memory.
  char listing[kLinesRoom];
  char map[kLinesRoom];
  unsigned char pcmtbl[2 * kAddressTableSize];  // room to see a write past 256 bytes
  std::FILE* listing_out = fmemopen(listing, sizeof listing, "wb");
  std::FILE* map_out = fmemopen(map, sizeof map, "wb");
  std::FILE* pcmtbl_out = fmemopen(pcmtbl, sizeof pcmtbl, "wb");
  Check(listing_out != nullptr && map_out != nullptr && pcmtbl_out != nullptr, "no memory stream");
  RomLayout layout = {};
  for (int slot = 0; slot < kSlotCount && !IsTableEnd(table, slot); ++slot) {
    if ((present >> slot & 1U) == 0) { continue; }
    const VoiceEntry voice = ReadVoiceEntry(table, slot);
    const std::int32_t start = LayOutVoice(&layout, slot, voice);
    (void)WriteListingLine(listing_out, slot + 1, voice.name, start);
    (void)WriteMapLine(map_out, slot + 1, start);
  }
  const char* listing_end = listing + Finish(listing_out, "listing overflowed");
  const char* map_end = map + Finish(map_out, "ROM map overflowed");
  Check(WriteAddressTable(pcmtbl_out, layout) &&
            Finish(pcmtbl_out, "PCMTBL overflowed") == kAddressTableSize &&
            std::memcmp(pcmtbl, layout.address_table, kAddressTableSize) == 0,
        "PCMTBL is not the 256-byte table image");

  // Worked out again from the raw entries.  The 4-unit gap and the zero
  // bytes 4, 5 and 7 are the ROM's rules, written out here so that a changed
  // constant in the tool shows.
  const char* lp = listing;
  const char* mp = map;
  std::int32_t running = 0;
  bool ended = false;
  for (std::size_t slot = 0; slot < static_cast<std::size_t>(kSlotCount); ++slot) {
    const unsigned char* entry = table.image + slot * kVoiceEntrySize;
    const unsigned char* record = pcmtbl + slot * kRecordSize;
    ended = ended || entry[kNameOffset] == 0;
    if (ended || (present >> slot & 1U) == 0) {
      for (std::size_t i = 0; i < kRecordSize; ++i) { Check(record[i] == 0, "unused record set"); }
      continue;
    }
    const std::int32_t difference = static_cast<std::int32_t>(Le16(entry + kEndMarkOffset)) -
                                    static_cast<std::int32_t>(Le16(entry + kStartMarkOffset));
    const std::int32_t start = running;
    const std::int32_t end = start + difference / 4 - (difference % 4 < 0 ? 1 : 0);
    running = end + 4;
    Check(record[4] == 0 && record[5] == 0 && record[7] == 0, "record bytes 4, 5, 7 not zero");
    Check(record[kRecordAttributeOffset] == entry[kAttributeOffset], "attribute byte not copied");

    // The lines as their formats give them, from the values worked out here.
    char name[kNameSize + 1] = {};  // ends at its first zero byte
    std::memcpy(name, entry + kNameOffset, kNameSize);
    const int number = static_cast<int>(slot) + 1;
    const auto offset = static_cast<unsigned int>(static_cast<std::uint32_t>(start) * 4U);
    char line[kLineRoom];
    TakeLine(&lp, listing_end, line,
             std::snprintf(line, sizeof line, "PCM NO.%2d:%-16s ADR:%05x\n", number, name, offset),
             "listing line out of shape");
    TakeLine(&mp, map_end, line,
             std::snprintf(line, sizeof line,
                           "\t\t\t<rom type=\"adpcm\" offset=\"0x%05x\">voice.%d</rom>\r\n", offset,
                           number),
             "map line out of shape");
    Check(Le16(record + kRecordStartOffset) == (offset / 4 & 0xFFFFU), "record start not offset/4");
    Check(Le16(record + kRecordEndOffset) == (static_cast<std::uint32_t>(end) & 0xFFFFU),
          "record end is not start + floor((end mark - start mark) / 4)");
  }
  Check(lp == listing_end && mp == map_end, "lines beyond one per voice laid out");
  return 0;
}
