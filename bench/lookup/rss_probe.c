/* Runs a command and prints the peak resident set of its process in KiB.
 *
 * The benchmark cannot ask the kernel itself: a process started straight from
 * it carries the benchmark's own peak over the exec. This small program forks
 * the command from a process of its own size, so that the figure is the
 * command's. Usage: rss_probe COMMAND [ARG...] */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv) {
  if (argc < 2) {
    fputs("usage: rss_probe COMMAND [ARG...]\n", stderr);
    return 2;
  }
  pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      dup2(null, 2);
    }
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage ru;
  if (wait4(pid, &status, 0, &ru) != pid) return 2;
  printf("peak_rss_kib %ld\nstatus %d\n", ru.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
