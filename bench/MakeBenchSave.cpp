// Writes a large save for the benchmarks: 1000 globals near the start, thousands of
// filler records and other characters, the player record near the end.
//   make-bench-save FILE MEBIBYTES
#include <cstdlib>
#include <iostream>

#include "tests/support/SaveBuilder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make-bench-save FILE MEBIBYTES\n";
        return 2;
    }
    const size_t target = size_t(std::atol(argv[2])) << 20;
    quellhart::test::SaveBuilder save;
    save.Header().Globs(1000).Clas("Custom");
    for (int npc = 0; save.Offset() + 64 * 1024 < target; ++npc) {
        save.Filler(16 * 1024 - 100);
        if (npc % 4 == 0) save.Npc("npc_" + std::to_string(npc), {{"NPDT", std::string(52, 'n')}});
    }
    save.Player().Filler(target > save.Offset() + 24 ? target - save.Offset() : 24);
    save.WriteTo(argv[1]);
    return 0;
}
