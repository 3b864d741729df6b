// voice_files.cpp: whether a voice's data file is there.  Goes below C stdio,
// as standard_streams.cpp does: stdio cannot tell a directory from a file.
#include "voice_files.h"

#include <sys/stat.h>

#include <cstdio>

bool VoiceFilePresent(const char* file_name) {
  // Linux opens a directory for reading where Windows refuses to; so that a
  // table folder gives the same table on both, the tool takes a directory for
  // missing itself.  The test is made on what opened, not on the name again.
  std::FILE* voice = std::fopen(file_name, "rb");
  if (voice == nullptr) {
    return false;
  }
  // |status| is read only once fstat has filled it, so it is not zeroed.
#ifdef _WIN32
  struct _stat status;  // the C runtime's names, in MinGW and MSVC alike
  const bool directory =
      _fstat(_fileno(voice), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR;
#else
  struct stat status;
  const bool directory = fstat(fileno(voice), &status) == 0 && S_ISDIR(status.st_mode);
#endif
  (void)std::fclose(voice);
  // Only a known directory counts as missing: a file that opened is present
  // even on the rare system where fstat fails (EOVERFLOW on a huge file).
  return !directory;
}
