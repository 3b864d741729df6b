// main.cpp: the adpcmtbl run, in order: file-size limit, command line,
// standard streams, voice table, ROM map, the voices slot by slot, address
// table, exit status.
// Only this file writes messages and decides the exit status.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "help_text.h"
#include "rom_layout.h"
#include "rom_map.h"
#include "standard_streams.h"
#include "voice_files.h"
#include "voice_table.h"

namespace {

constexpr int kStatusSuccess = 0;
constexpr int kStatusFailure = 1;

constexpr char kDataFileName[] = "DATA";
constexpr char kMapFileName[] = "pcmxml.txt";
constexpr char kAddressTableFileName[] = "PCMTBL";
constexpr char kSkipCheckSwitch[] = "-n";
constexpr char kHelpSwitch[] = "--help";
constexpr char kVersionSwitch[] = "--version";

constexpr char kVoiceFileFormat[] = "VOICE.%d";
// Room for the name with any int in place of %d, so the compiler can see that
// no name is cut short; the voice numbers themselves go up to 32.
constexpr std::size_t kVoiceFileNameSize =
    sizeof kVoiceFileFormat - sizeof "%d" + sizeof "-2147483648";

constexpr char kBanner[] = "Velomira ADPCM Table maker\n";
constexpr char kUsage[] = ADPCMTBL_USAGE_TEXT;
constexpr char kHelp[] = ADPCMTBL_HELP_TEXT;
constexpr char kVersion[] = ADPCMTBL_VERSION_TEXT;
constexpr char kDataNotFound[] = "Not found \"DATA\".\n";
constexpr char kCannotCreate[] = "Can't open output file!!.\n";
constexpr char kVoiceNotFound[] = "Not found \"%s\"\n";
constexpr char kWriteError[] = "Write error !!\n";

// --help and --version print on standard output, and nothing else is asked
// of them, so a write that fails is a failure; closing the stream is what
// shows one that the buffer held back.
int Answer(const char* text, std::size_t size) {
  if (std::fwrite(text, 1, size, stdout) != size || std::fclose(stdout) != 0) {
    std::fputs(kWriteError, stderr);
    return kStatusFailure;
  }
  return kStatusSuccess;
}

// Closes an output stream and tells whether everything written to it reached
// the file: a full disk may show only when the buffer is flushed here.
bool CloseOutput(std::FILE* stream) {
  const bool written = std::ferror(stream) == 0;
  return std::fclose(stream) == 0 && written;
}

// An output file that failed is removed, so that no later build step takes a
// cut-off file for a good one.  Where it cannot be removed (a read-only
// directory, a file mounted over) it is emptied instead: a failed output
// never keeps content that could pass for complete.
int FailOutput(const char* file_name) {
  if (std::remove(file_name) != 0) {
    // Opened for update first, which creates nothing: a file that is gone
    // after all is not made again.
    std::FILE* failed = std::fopen(file_name, "r+b");
    if (failed != nullptr) {
      failed = std::freopen(file_name, "wb", failed);
    }
    if (failed != nullptr) {
      (void)std::fclose(failed);
    }
  }
  std::fputs(kWriteError, stderr);
  return kStatusFailure;
}

}  // namespace

// The C++ standard gives main its parameters' types.
// cppcheck-suppress constParameter
int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
  // A write past a file-size limit (ulimit -f) raises SIGXFSZ, which would
  // kill the run with no message and a cut-off map.  Ignored, it makes the
  // write fail with EFBIG instead, like a full disk, and every write takes its
  // failure path.
  (void)std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::fputs(kBanner, stderr);

  if (argc > 2) {
    std::fprintf(stderr, kUsage, argv[0]);
    return kStatusFailure;
  }
  if (argc == 2 && std::strcmp(argv[1], kHelpSwitch) == 0) {
    return Answer(kHelp, sizeof kHelp - 1);
  }
  if (argc == 2 && std::strcmp(argv[1], kVersionSwitch) == 0) {
    return Answer(kVersion, sizeof kVersion - 1);
  }
  // Any other single argument is ignored.
  const bool check_presence =
      argc != 2 || std::strcmp(argv[1], kSkipCheckSwitch) != 0;

  // A caller may start the tool with a standard stream closed; the files
  // opened below would then take its descriptor and receive what is written
  // to that stream.
  if (!OpenClosedStandardStreams()) {
    return kStatusFailure;
  }

  VoiceTable voices = {};
  std::FILE* data = std::fopen(kDataFileName, "rb");
  if (data == nullptr) {
    std::fputs(kDataNotFound, stderr);
    return kStatusFailure;
  }
  const bool loaded = LoadVoiceTable(data, &voices);
  (void)std::fclose(data);
  if (!loaded) {
    std::fputs(kDataNotFound, stderr);
    return kStatusFailure;
  }

  std::FILE* map = std::fopen(kMapFileName, "wb");
  if (map == nullptr) {
    std::fputs(kCannotCreate, stderr);
    return kStatusFailure;
  }

  RomLayout layout = {};
  for (int slot = 0; slot < kSlotCount && !IsTableEnd(voices, slot); ++slot) {
    const int voice_number = slot + 1;
    if (check_presence) {
      char voice_file[kVoiceFileNameSize];
      (void)std::snprintf(voice_file, sizeof voice_file, kVoiceFileFormat,
                          voice_number);
      if (!VoiceFilePresent(voice_file)) {
        std::fprintf(stderr, kVoiceNotFound, voice_file);
        continue;  // takes no ROM space and keeps a zero record
      }
    }
    const VoiceEntry voice = ReadVoiceEntry(voices, slot);
    const std::int32_t start = LayOutVoice(&layout, slot, voice);
    // The listing is for the console; its writes are not examined.
    (void)WriteListingLine(stdout, voice_number, voice.name, start);
    if (WriteMapLine(map, voice_number, start) < 0) {
      (void)std::fclose(map);
      return FailOutput(kMapFileName);
    }
  }
  if (!CloseOutput(map)) {
    return FailOutput(kMapFileName);
  }

  std::FILE* pcmtbl = std::fopen(kAddressTableFileName, "wb");
  if (pcmtbl == nullptr) {
    std::fputs(kCannotCreate, stderr);
    return kStatusFailure;
  }
  const bool written = WriteAddressTable(pcmtbl, layout);
  if (!CloseOutput(pcmtbl) || !written) {
    return FailOutput(kAddressTableFileName);
  }
  return kStatusSuccess;
}
