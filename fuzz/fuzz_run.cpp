// fuzz_run.cpp: libFuzzer target that makes the table in memory from one
// fuzzed DATA image and checks PCMTBL, the listing and the ROM map against it.
#include "fuzz_run.h"

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

// Returns false, for the check that failed to return at once.
bool Failed(const char* name, const char* what) {
  std::fprintf(stderr, "%s: %s\n", name, what);
  return false;
}

// Writes |size| bytes on one line, quoted, every byte that is not printable
// ASCII as an escape: the lines hold tabs, CR LF and any byte of a name.
void Show(const char* bytes, std::size_t size) {
  if (size == 0) {
    std::fputs("(the end)", stderr);
    return;
  }
  std::fputc('"', stderr);
  for (std::size_t i = 0; i < size; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\n') {
      std::fputs("\\n", stderr);
    } else if (byte == '\r') {
      std::fputs("\\r", stderr);
    } else if (byte == '\t') {
      std::fputs("\\t", stderr);
    } else if (byte == '"' || byte == '\\') {
      std::fprintf(stderr, "\\%c", byte);
    } else if (byte < 0x20 || byte > 0x7E) {
      std::fprintf(stderr, "\\x%02x", byte);
    } else {
      std::fputc(byte, stderr);
    }
  }
  std::fputc('"', stderr);
}

std::uint32_t Le16(const unsigned char* bytes) { return bytes[0] + bytes[1] * 256U; }

// Checks that the output at |*p| goes on with the |length| bytes of |line|,
// the |*number|th line of |what|, and steps past them; otherwise shows the
// line expected and the one there.
bool TakeLine(const char* name, const char* what, int* number, const char** p, const char* end,
              const char* line, int length) {
  ++*number;
  const auto size = static_cast<std::size_t>(length > 0 ? length : 0);
  if (length > 0 && static_cast<std::size_t>(end - *p) >= size && std::memcmp(*p, line, size) == 0) {
    *p += size;
    return true;
  }
  const char* there = *p;
  while (there < end && *there++ != '\n') {}
  std::fprintf(stderr, "%s: %s line %d differs\n  expected ", name, what, *number);
  Show(line, size);
  std::fputs("\n    actual ", stderr);
  Show(*p, static_cast<std::size_t>(there - *p));
  std::fputc('\n', stderr);
  return false;
}

void CloseIfOpen(std::FILE* stream) {
  if (stream != nullptr) {
    (void)std::fclose(stream);
  }
}

// Closes a memory stream; returns how many bytes it took, or -1 where it did
// not take them all.
long Finish(std::FILE* stream) {
  const long size = std::ftell(stream);
  const bool whole = size >= 0 && std::fflush(stream) == 0 && std::ferror(stream) == 0;
  (void)std::fclose(stream);
  return whole ? size : -1;
}

}  // namespace

bool CheckRun(const std::uint8_t* data, std::size_t size, const char* name) {
  VoiceTable table = {};
  std::FILE* data_stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (data_stream == nullptr) {
    return Failed(name, "no memory stream for DATA");
  }
  const bool loaded = LoadVoiceTable(data_stream, &table);
  (void)std::fclose(data_stream);
  if (!loaded) {
    return Failed(name, "DATA did not load");
  }
  for (std::size_t i = 0; i < kVoiceTableSize; ++i) {
    if (table.image[i] != (i < size ? data[i] : 0)) {
      return Failed(name, "table image is not DATA zero-padded");
    }
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
  if (listing_out == nullptr || map_out == nullptr || pcmtbl_out == nullptr) {
    CloseIfOpen(listing_out);
    CloseIfOpen(map_out);
    CloseIfOpen(pcmtbl_out);
    return Failed(name, "no memory stream for the outputs");
  }
  RomLayout layout = {};
  for (int slot = 0; slot < kSlotCount && !IsTableEnd(table, slot); ++slot) {
    if ((present >> slot & 1U) == 0) { continue; }
    const VoiceEntry voice = ReadVoiceEntry(table, slot);
    const std::int32_t start = LayOutVoice(&layout, slot, voice);
    (void)WriteListingLine(listing_out, slot + 1, voice.name, start);
    (void)WriteMapLine(map_out, slot + 1, start);
  }
  const long listing_size = Finish(listing_out);
  const long map_size = Finish(map_out);
  const bool table_written = WriteAddressTable(pcmtbl_out, layout);
  const long pcmtbl_size = Finish(pcmtbl_out);
  if (listing_size < 0) {
    return Failed(name, "listing overflowed");
  }
  if (map_size < 0) {
    return Failed(name, "ROM map overflowed");
  }
  if (!table_written || pcmtbl_size != static_cast<long>(kAddressTableSize) ||
      std::memcmp(pcmtbl, layout.address_table, kAddressTableSize) != 0) {
    return Failed(name, "PCMTBL is not the 256-byte table image");
  }
  const char* listing_end = listing + listing_size;
  const char* map_end = map + map_size;

  // Worked out again from the raw entries.  The 4-unit gap and the zero
  // bytes 4, 5 and 7 are the ROM's rules, written out here so that a changed
  // constant in the tool shows.
  const char* lp = listing;
  const char* mp = map;
  int listing_lines = 0;
  int map_lines = 0;
  std::int32_t running = 0;
  bool ended = false;
  for (std::size_t slot = 0; slot < static_cast<std::size_t>(kSlotCount); ++slot) {
    const unsigned char* entry = table.image + (slot * kVoiceEntrySize);
    const unsigned char* record = pcmtbl + (slot * kRecordSize);
    ended = ended || entry[kNameOffset] == 0;
    if (ended || (present >> slot & 1U) == 0) {
      for (std::size_t i = 0; i < kRecordSize; ++i) {
        if (record[i] != 0) {
          return Failed(name, "unused record set");
        }
      }
      continue;
    }
    const std::int32_t difference = static_cast<std::int32_t>(Le16(entry + kEndMarkOffset)) -
                                    static_cast<std::int32_t>(Le16(entry + kStartMarkOffset));
    const std::int32_t start = running;
    const std::int32_t end = start + (difference / 4) - (difference % 4 < 0 ? 1 : 0);
    running = end + 4;
    if (record[4] != 0 || record[5] != 0 || record[7] != 0) {
      return Failed(name, "record bytes 4, 5, 7 not zero");
    }
    if (record[kRecordAttributeOffset] != entry[kAttributeOffset]) {
      return Failed(name, "attribute byte not copied");
    }

    // The lines as their formats give them, from the values worked out here.
    char voice_name[kNameSize + 1] = {};  // ends at its first zero byte
    std::memcpy(voice_name, entry + kNameOffset, kNameSize);
    const int number = static_cast<int>(slot) + 1;
    const auto offset = static_cast<unsigned int>(static_cast<std::uint32_t>(start) * 4U);
    char line[kLineRoom];
    int length = std::snprintf(line, sizeof line, "PCM NO.%2d:%-16s ADR:%05x\n", number, voice_name, offset);
    if (!TakeLine(name, "listing", &listing_lines, &lp, listing_end, line, length)) {
      return false;
    }
    length = std::snprintf(line, sizeof line, "\t\t\t<rom type=\"adpcm\" offset=\"0x%05x\">voice.%d</rom>\r\n",
                           offset, number);
    if (!TakeLine(name, "map", &map_lines, &mp, map_end, line, length)) {
      return false;
    }
    if (Le16(record + kRecordStartOffset) != (offset / 4 & 0xFFFFU)) {
      return Failed(name, "record start not offset/4");
    }
    if (Le16(record + kRecordEndOffset) != (static_cast<std::uint32_t>(end) & 0xFFFFU)) {
      return Failed(name, "record end is not start + floor((end mark - start mark) / 4)");
    }
  }
  // A line past the last one expected is shown against the end expected there.
  return (lp == listing_end || TakeLine(name, "listing", &listing_lines, &lp, listing_end, "", 0)) &&
         (mp == map_end || TakeLine(name, "map", &map_lines, &mp, map_end, "", 0));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // libFuzzer keeps an input that aborts the run.
  if (!CheckRun(data, size, "the fuzz input")) {
    std::abort();
  }
  return 0;
}
