// standard_streams.cpp: the null device on closed standard descriptors.  The
// one place the tool goes below C stdio: the standard library cannot tell
// whether a descriptor is open.
#include "standard_streams.h"

#ifdef _WIN32

bool OpenClosedStandardStreams() {
  // The C runtime marks descriptors 0 to 2 as open at start-up even when the
  // process has no standard handle, so an opened file never gets one of them.
  return true;
}

#else

#include <fcntl.h>
#include <unistd.h>

bool OpenClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // F_GETFD fails only on a closed descriptor; whatever else made it fail,
    // the descriptor is not taken for open.
    if (fcntl(fd, F_GETFD) != -1) {
      continue;
    }
    // open() returns the lowest free descriptor, and every one below |fd| is
    // open by now, so the null device lands exactly on |fd|, unless it cannot
    // be opened at all.
    if (open("/dev/null", O_RDWR) != fd) {
      return false;
    }
  }
  return true;
}

#endif
