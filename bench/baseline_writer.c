/* The cost of writing a run's files and nothing else: the yardstick of scripts/bench-run.sh.
 *
 *   baseline_writer DIR STEP NAME [SIZE] ...
 *
 * Steps, done in the order given, on DIR/NAME:
 *   text NAME SIZE   writes SIZE bytes to a temporary file beside it and renames it over NAME
 *   read NAME        reads NAME back, 64 KiB at a time, and deletes it
 *   unit NAME SIZE   writes SIZE bytes to a temporary file; the temporary files of consecutive
 *                    unit steps are renamed over their names, in order, after the last of them
 *
 * Bytes are written 64 KiB at a time from one buffer filled once: nothing is computed. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kPiece = 1 << 16, kMaxUnit = 16 };

static char piece[kPiece];

static void Fail(const char* what, const char* path) {
  fprintf(stderr, "baseline_writer: %s %s: %s\n", what, path, strerror(errno));
  exit(2);
}

static void WriteTemporary(const char* path, long size, char* tmp, size_t tmp_size) {
  snprintf(tmp, tmp_size, "%s.tmp-XXXXXX", path);
  int fd = mkstemp(tmp);
  if (fd < 0) Fail("cannot create a temporary file for", path);
  fchmod(fd, 0644);
  while (size > 0) {
    size_t n = size < kPiece ? (size_t)size : kPiece;
    ssize_t w = write(fd, piece, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", tmp);
    }
    size -= w;
  }
  if (close(fd) != 0) Fail("cannot close", tmp);
}

static void Rename(const char* from, const char* to) {
  if (rename(from, to) != 0) Fail("cannot rename over", to);
}

static void ReadAndDelete(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open", path);
  struct stat st;
  fstat(fd, &st);
  for (;;) {
    ssize_t n = read(fd, piece, kPiece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot read", path);
    if (n == 0) break;
  }
  close(fd);
  if (unlink(path) != 0) Fail("cannot delete", path);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: baseline_writer DIR STEP NAME [SIZE] ...\n");
    return 2;
  }
  for (size_t k = 0; k < sizeof piece; ++k) piece[k] = (char)(k * 131 + 7);
  const char* dir = argv[1];
  char unit_path[kMaxUnit][4096], unit_tmp[kMaxUnit][4096 + 16];
  int units = 0;
  for (int a = 2; a < argc;) {
    const char* step = argv[a];
    if (a + 1 >= argc) {
      fprintf(stderr, "baseline_writer: step %s names no file\n", step);
      return 2;
    }
    char path[4096];
    snprintf(path, sizeof path, "%s/%s", dir, argv[a + 1]);
    if (strcmp(step, "read") == 0) {
      a += 2;
    } else if (a + 2 < argc && (strcmp(step, "text") == 0 || strcmp(step, "unit") == 0)) {
      a += 3;
    } else {
      fprintf(stderr, "baseline_writer: wrong step %s\n", step);
      return 2;
    }
    if (strcmp(step, "unit") != 0) {
      for (int u = 0; u < units; ++u) Rename(unit_tmp[u], unit_path[u]);
      units = 0;
    }
    if (strcmp(step, "read") == 0) {
      ReadAndDelete(path);
    } else if (strcmp(step, "text") == 0) {
      char tmp[4096 + 16];
      WriteTemporary(path, atol(argv[a - 1]), tmp, sizeof tmp);
      Rename(tmp, path);
    } else {
      if (units == kMaxUnit) {
        fprintf(stderr, "baseline_writer: more than %d unit steps in a row\n", kMaxUnit);
        return 2;
      }
      memcpy(unit_path[units], path, sizeof path);
      WriteTemporary(path, atol(argv[a - 1]), unit_tmp[units], sizeof unit_tmp[units]);
      ++units;
    }
  }
  for (int u = 0; u < units; ++u) Rename(unit_tmp[u], unit_path[u]);
  return 0;
}
