// time-run COMMAND [ARG...]: runs the command with its output discarded and prints
// the seconds from just before it starts to its end. Timing inside the shell
// would also count the shell's own work on a long argument list (a thousand
// --global options cost bash about 2 ms), which belongs to neither side.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: time-run COMMAND [ARG...]\n");
        return 2;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[1], &actions, nullptr, argv + 1, environ) != 0) {
        std::perror(argv[1]);
        return 2;
    }
    int status = 0;
    waitpid(child, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.6f\n", took.count());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
