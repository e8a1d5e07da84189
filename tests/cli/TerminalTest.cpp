// The real program, as a user meets it: on a pseudo-terminal, and in a script.
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "tests/cli/CliTestBase.h"

namespace quellhart::test {
namespace {

class TerminalTest : public CliTest {
protected:
    // Runs the program on a new pseudo-terminal, types `answer` at its first prompt
    // and returns its exit code and everything it printed.
    std::pair<int, std::string> RunOnTerminal(const std::vector<std::string>& args,
                                              const std::string& typed) {
        int master = -1;
        const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
        if (child == 0) {
            std::vector<char*> argv{const_cast<char*>(QUELLHART_CLI)};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(QUELLHART_CLI, argv.data());
            _exit(127);
        }
        std::string printed;
        bool answered = false;
        char buffer[512];
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) {
            printed.append(buffer, size_t(n));
            if (!answered && printed.find("[y/N]") != std::string::npos) {
                answered = write(master, typed.data(), typed.size()) == ssize_t(typed.size());
            }
        }
        close(master);
        int status = 0;
        waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, printed};
    }
};

TEST_F(TerminalTest, YesOnTheTerminalCommits) {
    const auto [code, printed] = RunOnTerminal({"set", SavePath(), "--name", "Tty"}, "y\n");
    EXPECT_EQ(code, 0) << printed;
    EXPECT_NE(printed.find("Name:          Tty"), std::string::npos) << printed;
    EXPECT_NE(ReadFileBytes(SavePath()), save.Bytes());
}

TEST_F(TerminalTest, NoOnTheTerminalDeclines) {
    const auto [code, printed] = RunOnTerminal({"set", SavePath(), "--name", "Tty"}, "n\n");
    EXPECT_EQ(code, 3) << printed;
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
}

TEST_F(TerminalTest, ScriptWithoutATerminalDeclines) {
    const std::string command = std::string(QUELLHART_CLI) + " set '" + SavePath() +
                                "' --name Script </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
}

// Runs the program with `prepare` run in the child first (to change its standard
// output or its limits); returns its exit code and what it wrote on standard error.
std::pair<int, std::string> RunPrepared(const std::vector<std::string>& args,
                                        const std::function<void()>& prepare) {
    int err[2];
    if (pipe(err) != 0) return {-1, ""};
    const pid_t child = fork();
    if (child == 0) {
        dup2(err[1], STDERR_FILENO);
        close(err[0]);
        prepare();
        std::vector<char*> argv{const_cast<char*>(QUELLHART_CLI)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(QUELLHART_CLI, argv.data());
        _exit(127);
    }
    close(err[1]);
    std::string printed;
    char buffer[512];
    for (ssize_t n; (n = read(err[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, size_t(n));
    close(err[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), printed};
}

void OutputTo(const char* path) {
    const int fd = open(path, O_WRONLY);
    dup2(fd, STDOUT_FILENO);
}

void OutputToClosedPipe() {
    int out[2];
    if (pipe(out) != 0) _exit(126);
    close(out[0]);  // nobody reads: a write fails with EPIPE, or SIGPIPE ends a program
    dup2(out[1], STDOUT_FILENO);
}

// Whatever becomes of standard output, `set` and `restore` exit 0 exactly when the
// save was replaced; a report that could not be written is said on standard error.
TEST_F(TerminalTest, ExitCodesTellWhatHappenedToTheSaveWhateverBecomesOfTheOutput) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::function<void()> prepare;
        int code;
    };
    const std::vector<Case> cases = {
        {"set, full disk",
         {"set", SavePath(), "--name", "Full", "--yes"},
         [] { OutputTo("/dev/full"); },
         0},
        {"set, closed pipe", {"set", SavePath(), "--name", "Pipe", "--yes"}, OutputToClosedPipe, 0},
        {"set, no output",
         {"set", SavePath(), "--name", "None", "--yes"},
         [] { close(STDOUT_FILENO); },
         0},
        {"restore, full disk", {"restore", SavePath(), "--yes"}, [] { OutputTo("/dev/full"); }, 0},
        {"show, full disk", {"show", SavePath()}, [] { OutputTo("/dev/full"); }, 1},
        // Whether the saves differ is not told when the report is lost: trouble.
        {"diff of the same, full disk",
         {"diff", SavePath(), SavePath(), "--json"},
         [] { OutputTo("/dev/full"); },
         2},
        {"diff, closed pipe", {"diff", SavePath(), SavePath(), "--json"}, OutputToClosedPipe, 2},
    };
    for (const Case& c : cases) {
        const std::string before = ReadFileBytes(SavePath());
        const auto [code, err] = RunPrepared(c.args, c.prepare);
        EXPECT_EQ(code, c.code) << c.what << ": " << err;
        EXPECT_NE(err.find("could not write to standard output"), std::string::npos) << c.what;
        const bool changesFiles = c.args[0] == "set" || c.args[0] == "restore";
        EXPECT_EQ(ReadFileBytes(SavePath()) != before, changesFiles) << c.what;
    }
}

// A file size limit fails the write, and the commit cleans up, with the reason said.
TEST_F(TerminalTest, AFileSizeLimitFailsTheCommitAndSaysWhy) {
    const auto [code, err] = RunPrepared({"set", SavePath(), "--name", "Big", "--yes"}, [] {
        const rlimit limit{512, 512};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(code, 1) << err;
    EXPECT_NE(err.find("\n" + dir.File("save.out") + ": File too large\n"), std::string::npos)
        << err;
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_FALSE(std::filesystem::exists(dir.File("save.out")));
}

}  // namespace
}  // namespace quellhart::test
