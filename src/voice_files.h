// voice_files.h: the presence test of the voices' data files, VOICE.n, which
// are never read.
#ifndef ADPCMTBL_VOICE_FILES_H_
#define ADPCMTBL_VOICE_FILES_H_

// True when |file_name| opens for reading and is not a directory, whatever it
// holds, an empty file included, or a named pipe that no one writes to.
// Opens the file and closes it again.
bool VoiceFilePresent(const char* file_name);

#endif  // ADPCMTBL_VOICE_FILES_H_
