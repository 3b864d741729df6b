// replay_main.cpp: runs the fuzz target's checks once on each input file
// named, so that builds with any compiler replay the seed corpus; every input
// that fails is named.
#include <cstdint>
#include <cstdio>

#include "fuzz_run.h"

namespace {

// Well past the DATA image and its mask; the target reads no further.
constexpr std::size_t kInputCap = 4096;
std::uint8_t input[kInputCap];

}  // namespace

int main(int argc, char* argv[]) {
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    std::FILE* file = std::fopen(argv[i], "rb");
    if (file == nullptr) {
      std::fprintf(stderr, "%s: cannot open\n", argv[i]);
      ++failed;
      continue;
    }
    const std::size_t size = std::fread(input, 1, kInputCap, file);
    const bool read = std::ferror(file) == 0;
    (void)std::fclose(file);
    if (!read) {
      std::fprintf(stderr, "%s: cannot read\n", argv[i]);
      ++failed;
    } else if (!CheckRun(input, size, argv[i])) {
      ++failed;
    }
  }
  std::printf("%d inputs replayed, %d failed\n", argc - 1, failed);
  return argc > 1 && failed == 0 ? 0 : 1;
}
