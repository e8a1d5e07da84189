// Writes a small table of saves, one for each kind of file the programs must agree
// on wherever they run: ordinary ones and one for each load error; with --large also
// large.ess, 16 MiB, a save large enough that the browser edition opens it under its
// wait box.
//   make-sample-saves FOLDER [--large]
#include <string>

#include "tests/support/SampleSaves.h"
#include "tests/support/SaveBuilder.h"

int main(int argc, char** argv) {
    const bool large = argc == 3 && std::string(argv[2]) == "--large";
    if (argc != 2 && !large) return 2;
    quellhart::test::WriteSampleSaves(argv[1]);
    if (large)
        quellhart::test::SaveBuilder()
            .Header()
            .Glob("Day", 1)
            .Player()
            .Filler(std::size_t{16} << 20)
            .WriteTo(std::string(argv[1]) + "/large.ess");
    return 0;
}
