// The real program, as a user meets it: on a pseudo-terminal, and in a script.
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

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

}  // namespace
}  // namespace quellhart::test
