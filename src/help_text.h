/* help_text.h: the usage text and what --help and --version print.  Plain C,
   so that the bench floor prints the same texts as the tool. */
#ifndef ADPCMTBL_HELP_TEXT_H_
#define ADPCMTBL_HELP_TEXT_H_

/* A printf format, with the program name for %s.  The second line reads
   "-n : ADPCMデータファイルの存在をチェックしない" (do not check that the ADPCM
   data files exist), in the encoding the build chose: UTF-8 where
   ADPCMTBL_USAGE_UTF8 is defined, for the terminals of most systems, and
   otherwise Shift_JIS, for the Windows consoles the tool was made for. */
#ifdef ADPCMTBL_USAGE_UTF8
#define ADPCMTBL_NO_CHECK_TEXT                                                  \
  "\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf"             /* データ */               \
  "\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab" /* ファイル */             \
  "\xe3\x81\xae"                                     /* の */                   \
  "\xe5\xad\x98\xe5\x9c\xa8"                         /* 存在 */                 \
  "\xe3\x82\x92"                                     /* を */                   \
  "\xe3\x83\x81\xe3\x82\xa7\xe3\x83\x83\xe3\x82\xaf" /* チェック */             \
  "\xe3\x81\x97\xe3\x81\xaa\xe3\x81\x84"             /* しない */
#else
#define ADPCMTBL_NO_CHECK_TEXT                                                  \
  "\x83\x66\x81\x5b\x83\x5e\x83\x74\x83\x40\x83\x43\x83\x8b" /* データファイル */ \
  "\x82\xcc"                                                 /* の */           \
  "\x91\xb6\x8d\xdd"                                         /* 存在 */         \
  "\x82\xf0"                                                 /* を */           \
  "\x83\x60\x83\x46\x83\x62\x83\x4e"                         /* チェック */     \
  "\x82\xb5\x82\xc8\x82\xa2"                                 /* しない */
#endif
#define ADPCMTBL_USAGE_TEXT "Usage: %s [-n]\n\t-n : ADPCM" ADPCMTBL_NO_CHECK_TEXT "\n"

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
