#include "tests/cli/CliTestBase.h"

#include <sstream>

#include "cli/Commands.h"

namespace quellhart::test {

CliTest::CliTest() {
    PlayerTexts texts;
    texts.name = "J\xE9r\xF4me";  // Windows-1252 accents
    save.Header().Glob("Day", 12.0f).Glob("Month", 3.0f).Glob("GameHour", 9.5f);
    save.Glob("Day", 1.0f).Filler(300).Player(texts).Filler(100);
    save.WriteTo(SavePath());
}

CliResult CliTest::Cli(const std::vector<std::string>& args, const std::string& answers,
                       bool onTerminal, FileSystem& files) {
    std::istringstream in(answers);
    std::ostringstream out, err;
    cli::Console console{in, out, err, onTerminal, files};
    CliResult result;
    result.code = cli::Run(args, console);
    result.out = out.str();
    result.err = err.str();
    return result;
}

}  // namespace quellhart::test
