/* Runs a program and writes its wall time, CPU time and peak resident size to a file:
 *   rusage OUT PROGRAM [ARG...]
 * OUT gets one line "WALL_S CPU_S PEAK_KIB STATUS". The program is started from this
 * small process rather than from the benchmark script, because a child's peak resident
 * size counts the memory of the process it was forked from: a script that has read
 * large files would raise every figure. Exits with the program's status. */
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double seconds(struct timespec t) { return (double)t.tv_sec + t.tv_nsec / 1e9; }

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: rusage OUT PROGRAM [ARG...]\n");
    return 125;
  }
  struct timespec t0, t1;
  clock_gettime(CLOCK_MONOTONIC, &t0);
  pid_t pid = fork();
  if (pid < 0) return 125;
  if (pid == 0) {
    execv(argv[2], argv + 2);
    perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  struct rusage ru;
  if (wait4(pid, &status, 0, &ru) != pid) return 125;
  clock_gettime(CLOCK_MONOTONIC, &t1);
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  FILE* out = fopen(argv[1], "w");
  if (!out) return 125;
  fprintf(out, "%.6f %.6f %ld %d\n", seconds(t1) - seconds(t0),
          ru.ru_utime.tv_sec + ru.ru_utime.tv_usec / 1e6 + ru.ru_stime.tv_sec + ru.ru_stime.tv_usec / 1e6,
          ru.ru_maxrss, code);
  fclose(out);
  return code;
}
