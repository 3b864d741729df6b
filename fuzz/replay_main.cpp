// replay_main.cpp: runs the fuzz target once on each file named, or on each
// regular file in a directory named, so that any compiler replays the corpus.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Well past the DATA image and its mask; the target reads no further.
constexpr std::size_t kInputCap = 4096;
constexpr std::size_t kPathSize = 4096;
std::uint8_t input[kInputCap];

bool Replay(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) { return false; }
  const std::size_t size = std::fread(input, 1, kInputCap, file);
  const bool read = std::ferror(file) == 0;
  (void)std::fclose(file);
  if (read) { (void)LLVMFuzzerTestOneInput(input, size); }
  return read;
}

}  // namespace

int main(int argc, char* argv[]) {
  int ran = 0;
  int unreadable = 0;
  for (int i = 1; i < argc; ++i) {
    DIR* dir = opendir(argv[i]);
    if (dir == nullptr) {
      Replay(argv[i]) ? ++ran : ++unreadable;
      continue;
    }
    while (const dirent* item = readdir(dir)) {
      char path[kPathSize];
      struct stat info;
      const int length = std::snprintf(path, sizeof path, "%s/%s", argv[i], item->d_name);
      if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
        ++unreadable;  // a cut-off path names another file
      } else if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) {
        Replay(path) ? ++ran : ++unreadable;
      }
    }
    (void)closedir(dir);
  }
  std::printf("%d inputs replayed, %d unreadable\n", ran, unreadable);
  return ran > 0 && unreadable == 0 ? 0 : 1;
}
