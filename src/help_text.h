/* help_text.h: what --help and --version print.  Plain C, so that the bench
   floor prints the same text as the tool. */
#ifndef ADPCMTBL_HELP_TEXT_H_
#define ADPCMTBL_HELP_TEXT_H_

#define ADPCMTBL_HELP_TEXT                                                      \
  "Usage: adpcmtbl [-n]\n"                                                      \
  "       adpcmtbl --help | --version\n"                                        \
  "Lays the voices of the voice table DATA out one after another in ADPCM\n"    \
  "ROM and writes the address table PCMTBL and the ROM map pcmxml.txt, all\n"   \
  "in the current directory; prints one line per voice on standard output.\n"   \
  "\n"                                                                          \
  "  -n         do not check that each voice's data file VOICE.n exists\n"      \
  "  --help     print this help and exit\n"                                     \
  "  --version  print the version and licence and exit\n"                       \
  "\n"                                                                          \
  "Files:\n"                                                                    \
  "  DATA        the voice table, read\n"                                       \
  "  VOICE.n     the data file of voice n (1 to 32), only tested for presence\n" \
  "  pcmxml.txt  the ROM map, written\n"                                        \
  "  PCMTBL      the address table, written\n"                                  \
  "\n"                                                                          \
  "Exit status: 0 on success, missing voice files included; 1 after the usage\n" \
  "text or any failure.\n"                                                      \
  "\n"                                                                          \
  "The manual: man adpcmtbl (docs/adpcmtbl.1 in the sources, adpcmtbl.html in\n" \
  "the Windows zip).\n"

/* ADPCMTBL_VERSION, the project's version, comes from the build. */
#define ADPCMTBL_VERSION_TEXT                                                   \
  "adpcmtbl " ADPCMTBL_VERSION "\n"                                             \
  "Copyright (c) 2026 The adpcmtbl developers; released under the MIT License.\n"

#endif /* ADPCMTBL_HELP_TEXT_H_ */
