/* floor.c: adpcmtbl's run written as one plain C function, the floor its
   figures are held against.  Same files, same output, same checks of every
   read, write and close; none of the tool's structure. */
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "help_text.h"

static const char usage[] = ADPCMTBL_USAGE_TEXT;
static const char help[] = ADPCMTBL_HELP_TEXT;
static const char version[] = ADPCMTBL_VERSION_TEXT;

static int answer(const char *text, size_t size) {
  if (fwrite(text, 1, size, stdout) != size || fclose(stdout) != 0) {
    fputs("Write error !!\n", stderr);
    return 1;
  }
  return 0;
}

static int write_error(FILE *f, const char *name) {
  if (f != NULL) fclose(f);
  if (remove(name) != 0 && (f = fopen(name, "r+b")) != NULL && (f = freopen(name, "wb", f)) != NULL)
    fclose(f);
  fputs("Write error !!\n", stderr);
  return 1;
}

int main(int argc, char *argv[]) {
  static unsigned char data[1024];
  static unsigned char table[256];
  char name[17];
  char file[16];
  int check = 1, address = 0, i, bad, fd;
  size_t got;
  FILE *f, *map;
  struct stat st;

  signal(SIGXFSZ, SIG_IGN); /* a file-size limit fails the write */
  fputs("Velomira ADPCM Table maker\n", stderr);
  if (argc > 2) {
    fprintf(stderr, usage, argv[0]);
    return 1;
  }
  if (argc == 2 && strcmp(argv[1], "--help") == 0) return answer(help, sizeof help - 1);
  if (argc == 2 && strcmp(argv[1], "--version") == 0) return answer(version, sizeof version - 1);
  if (argc == 2 && strcmp(argv[1], "-n") == 0) check = 0;
  for (i = 0; i <= 2; ++i)
    if (fcntl(i, F_GETFD) == -1 && open("/dev/null", O_RDWR) != i) return 1;

  f = fopen("DATA", "rb");
  if (f == NULL) {
    fputs("Not found \"DATA\".\n", stderr);
    return 1;
  }
  got = fread(data, 1, sizeof data, f); /* a short DATA reads as zero-padded */
  (void)got;
  bad = ferror(f);
  fclose(f);
  if (bad) {
    fputs("Not found \"DATA\".\n", stderr);
    return 1;
  }

  map = fopen("pcmxml.txt", "wb");
  if (map == NULL) {
    fputs("Can't open output file!!.\n", stderr);
    return 1;
  }
  for (i = 0; i < 32 && data[32 * i] != 0; ++i) {
    const unsigned char *e = data + 32 * i;
    int length = ((e[18] | e[19] << 8) - (e[16] | e[17] << 8)) >> 2;
    if (check) {
      snprintf(file, sizeof file, "VOICE.%d", i + 1);
      fd = open(file, O_RDONLY | O_NONBLOCK); /* a named pipe does not wait */
      bad = fd == -1 || (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode));
      if (fd != -1) close(fd);
      if (bad) { /* missing, or a directory */
        fprintf(stderr, "Not found \"%s\"\n", file);
        continue;
      }
    }
    table[8 * i] = (unsigned char)address;
    table[8 * i + 1] = (unsigned char)(address >> 8);
    table[8 * i + 2] = (unsigned char)(address + length);
    table[8 * i + 3] = (unsigned char)((address + length) >> 8);
    table[8 * i + 6] = e[27];
    memcpy(name, e, 16);
    name[16] = 0;
    printf("PCM NO.%2d:%-16s ADR:%05x\n", i + 1, name, (unsigned)address * 4u);
    if (fprintf(map, "\t\t\t<rom type=\"adpcm\" offset=\"0x%05x\">voice.%d</rom>\r\n",
                (unsigned)address * 4u, i + 1) < 0)
      return write_error(map, "pcmxml.txt");
    address += length + 4;
  }
  bad = ferror(map);
  if (fclose(map) != 0 || bad) return write_error(NULL, "pcmxml.txt");

  f = fopen("PCMTBL", "wb");
  if (f == NULL) {
    fputs("Can't open output file!!.\n", stderr);
    return 1;
  }
  if (fwrite(table, 1, sizeof table, f) != sizeof table) return write_error(f, "PCMTBL");
  bad = ferror(f);
  if (fclose(f) != 0 || bad) return write_error(NULL, "PCMTBL");
  return 0;
}
