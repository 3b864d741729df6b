// voice_files.cpp: whether a voice's data file is there.  Goes below C stdio,
// as standard_streams.cpp does: stdio cannot tell a directory from a file, nor
// open a named pipe without waiting for a writer.
#include "voice_files.h"

#include <sys/stat.h>

#ifdef _WIN32

#include <cstdio>

bool VoiceFilePresent(const char* file_name) {
  // Linux opens a directory for reading where Windows refuses to; so that a
  // table folder gives the same table on both, the tool takes a directory for
  // missing itself.  The test is made on what opened, not on the name again.
  std::FILE* voice = std::fopen(file_name, "rb");
  if (voice == nullptr) {
    return false;
  }
  // |status| is read only once _fstat has filled it, so it is not zeroed.
  struct _stat status;  // the C runtime's names, in MinGW and MSVC alike
  const bool directory =
      _fstat(_fileno(voice), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR;
  (void)std::fclose(voice);
  // Only a known directory counts as missing: a file that opened is present
  // even where fstat fails.
  return !directory;
}

#else

#include <fcntl.h>
#include <unistd.h>

bool VoiceFilePresent(const char* file_name) {
  // Read-only, so that a read-only voice file counts; without waiting, so
  // that a named pipe with no writer counts as the present file it is rather
  // than holding the run forever.  Nothing is ever read from it.
  const int voice = open(file_name, O_RDONLY | O_NONBLOCK);
  if (voice == -1) {
    return false;
  }
  // Linux opens a directory for reading where Windows refuses to; so that a
  // table folder gives the same table on both, the tool takes a directory for
  // missing itself.  The test is made on what opened, not on the name again.
  // |status| is read only once fstat has filled it, so it is not zeroed.
  struct stat status;
  const bool directory = fstat(voice, &status) == 0 && S_ISDIR(status.st_mode);
  (void)close(voice);
  // Only a known directory counts as missing: a file that opened is present
  // even on the rare system where fstat fails (EOVERFLOW on a huge file).
  return !directory;
}

#endif
