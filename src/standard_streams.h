// standard_streams.h: keeping descriptors 0, 1 and 2 taken, so that no file
// the run opens can stand in for standard input, output or error.
#ifndef ADPCMTBL_STANDARD_STREAMS_H_
#define ADPCMTBL_STANDARD_STREAMS_H_

// Opens the null device on each standard descriptor that the caller left
// closed; what the run writes to such a stream is then lost, and no output
// file can receive it.  Returns false when a closed one cannot be filled.
bool OpenClosedStandardStreams();

#endif  // ADPCMTBL_STANDARD_STREAMS_H_
