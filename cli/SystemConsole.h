// What quellhart-cli takes from the system it runs on, and how it sets up its
// output there: the arguments as UTF-8, whether a person is typing, and standard
// output that carries exactly the bytes written, in UTF-8.
#pragma once

#include <string>
#include <vector>

namespace quellhart::cli {

std::vector<std::string> ProgramArguments(int argc, char** argv);
bool StandardInputIsTerminal();
void PrepareStandardStreams();

}  // namespace quellhart::cli
