// Writes a small table of saves, one for each kind of file the programs must agree
// on wherever they run: ordinary ones and one for each load error.
//   make-sample-saves FOLDER
#include "tests/support/SampleSaves.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    quellhart::test::WriteSampleSaves(argv[1]);
    return 0;
}
