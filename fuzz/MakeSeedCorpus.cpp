// Writes the fuzzer's seed corpus: small saves made by the tests' save builder.
//   make-seed-corpus FOLDER
#include <string>

#include "tests/support/SaveBuilder.h"

using quellhart::test::SaveBuilder;
using quellhart::test::TextSub;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    int n = 0;
    auto write = [&](const SaveBuilder& save) {
        save.WriteTo(folder + "/seed" + std::to_string(n++) + ".ess");
    };
    write(quellhart::test::StandardSave());
    SaveBuilder chargen;
    chargen.Raw("TES3").Glob("Day", 1).Clas("NEWCLASSID_CHARGEN").Npc("guard").Player();
    write(chargen);
    SaveBuilder oddValues;
    oddValues.Raw("TES3").Record("GLOB",
                                 {TextSub("NAME", "s"), {"FNAM", ""}, {"FLTV", "\x01\x02"}});
    oddValues.Glob("g", 2).Npc("player_2").Player().Raw("NPC_");
    write(oddValues);
    SaveBuilder many;
    many.Raw("TES3").Globs(40).Filler(100).Player().Filler(30);
    write(many);
    return 0;
}
