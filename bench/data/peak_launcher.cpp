// Runs a program and prints what the kernel counted for it alone: exit status, peak resident
// memory in KiB, wall, user and system seconds. A child started straight from a benchmark
// (posix_spawn shares the parent's memory until exec) inherits the benchmark's peak, which by
// then holds a whole database; this small process, started fresh, forks the child instead, so
// the only peak it can pass on is its own, under 2 MiB.
//
//   peak_launcher PROGRAM [ARGS...]   (the program's output goes to /dev/null)
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: peak_launcher PROGRAM [ARGS...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return 1;
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage
    {
    };
    if (wait4(pid, &status, 0, &usage) != pid)
        return 1;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    std::printf("%d %ld %.6f %.6f %.6f\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128,
                usage.ru_maxrss, wall, seconds(usage.ru_utime), seconds(usage.ru_stime));
    return 0;
}
