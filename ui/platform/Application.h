// What the application object needs from the toolkit at start.
#pragma once

#include <string>

namespace quellhart::ui {

// The program file's name without its folder and extension.
std::string ProgramFileStem();

// Shows a text meant for whoever started the program from a command line (the
// answer to --help or --version, or a mistake in the command line or its
// environment): on its standard output (a mistake on standard error) where it has
// one, in a message box where it does not; a mistake also in a message box wherever
// there is a display, since a program started from a desktop launcher has nobody
// reading its standard error.
void ShowCommandLineText(const std::string& text, bool mistake = false);

}  // namespace quellhart::ui
