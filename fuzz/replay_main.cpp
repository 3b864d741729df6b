// replay_main.cpp: runs the fuzz target once on each input file named, so
// that builds with any compiler replay the seed corpus.
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Well past the DATA image and its mask; the target reads no further.
constexpr std::size_t kInputCap = 4096;
std::uint8_t input[kInputCap];

}  // namespace

int main(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    std::FILE* file = std::fopen(argv[i], "rb");
    if (file == nullptr) {
      std::fprintf(stderr, "cannot open %s\n", argv[i]);
      return 1;
    }
    const std::size_t size = std::fread(input, 1, kInputCap, file);
    const bool read = std::ferror(file) == 0;
    (void)std::fclose(file);
    if (!read) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    (void)LLVMFuzzerTestOneInput(input, size);
  }
  std::printf("%d inputs replayed\n", argc - 1);
  return argc > 1 ? 0 : 1;
}
