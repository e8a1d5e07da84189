// The command table is what the parser accepts and what --help shows.
#include <gtest/gtest.h>

#include "cli/CommandLine.h"

namespace quellhart::cli {
namespace {

TEST(CommandTable, EveryOptionOfEveryCommandIsAcceptedAndShown) {
    const std::string usage = UsageText();
    for (const CommandSpec& command : kCommands) {
        EXPECT_NE(usage.find(std::string("quellhart-cli ") + command.name + " " + command.files),
                  std::string::npos)
            << command.name;
        for (const Option option : command.options) {
            const OptionSpec& details = Details(option);
            std::vector<std::string> args = {command.name, details.name};
            const bool number = option == Option::kKeep || option == Option::kVersion;
            if (details.value)
                args.push_back(option == Option::kGlobal ? "Day=1" : number ? "1" : "text");
            // A set changes something besides.
            if (command.id == Command::kSet && option != Option::kName) {
                args.push_back("--name");
                args.push_back("n");
            }
            for (int i = 0; i < command.fileCount; ++i)
                args.push_back("f" + std::to_string(i) + ".ess");
            EXPECT_NO_THROW(ParseCommandLine(args)) << command.name << " " << details.name;
            EXPECT_NE(usage.find(std::string("[") + details.name), std::string::npos)
                << details.name;
        }
    }
}

TEST(CommandTable, AfterTwoDashesEveryArgumentIsAFile) {
    const Request request = ParseCommandLine({"show", "--json", "--", "--yes.ess"});
    EXPECT_TRUE(request.json);
    EXPECT_EQ(request.files, std::vector<std::string>{"--yes.ess"});
    EXPECT_EQ(ParseCommandLine({"diff", "--", "-a.ess", "--"}).files,
              (std::vector<std::string>{"-a.ess", "--"}));
    EXPECT_THROW(ParseCommandLine({"show", "--", "a.ess", "--json"}), UsageError);  // two files
}

TEST(CommandTable, WhatTheTableLacksIsRefused) {
    EXPECT_THROW(ParseCommandLine({"frobnicate", "a.ess"}), UsageError);
    EXPECT_THROW(ParseCommandLine({"show", "a.ess", "--yes"}), UsageError);  // not show's
    EXPECT_THROW(ParseCommandLine({"diff", "a.ess"}), UsageError);
    EXPECT_THROW(ParseCommandLine({"set", "a.ess", "--name"}), UsageError);
    EXPECT_THROW(ParseCommandLine({"set", "a.ess", "--yes", "--json"}), UsageError);  // no change
    // No text that is not well-formed UTF-8: an overlong "/", a surrogate, a stray byte.
    for (const char* text : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "a\xFF"}) {
        EXPECT_THROW(ParseCommandLine({"set", "a.ess", "--name", text}), UsageError);
        EXPECT_THROW(ParseCommandLine({"set", "a.ess", "--global", std::string(text) + "=1"}),
                     UsageError);
    }
    for (const char* keep : {"-1", "two", "", "3x"})
        EXPECT_THROW(ParseCommandLine({"set", "a.ess", "--keep", keep}), UsageError) << keep;
    for (const char* version : {"0", "-2", "one"})
        EXPECT_THROW(ParseCommandLine({"restore", "a.ess", "--version", version}), UsageError)
            << version;
}

}  // namespace
}  // namespace quellhart::cli
