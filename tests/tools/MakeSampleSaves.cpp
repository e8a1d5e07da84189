// Writes a small table of saves, one for each kind of file the programs must agree
// on wherever they run: ordinary ones and one for each load error.
//   make-sample-saves FOLDER
#include <string>

#include "tests/support/SaveBuilder.h"

using quellhart::test::PlayerTexts;
using quellhart::test::SaveBuilder;
using quellhart::test::TextSub;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = std::string(argv[1]) + "/";
    quellhart::test::StandardSave().WriteTo(folder + "normal.ess");
    SaveBuilder().Header().Globs(1000).Filler(500).Player().WriteTo(folder + "globals-1000.ess");
    SaveBuilder()
        .Header()
        .Glob("Day", 1)
        .Clas("NEWCLASSID_CHARGEN")
        .Player()
        .WriteTo(folder + "chargen-class.ess");
    PlayerTexts accented;
    accented.name = "J\xE9r\xF4me \x80\x9F";  // é, ô, €, Ÿ in Windows-1252
    accented.race = "Dark Elf";
    SaveBuilder()
        .Header()
        .Glob("K\xF6nig", 2.5f)
        .Player(accented)
        .WriteTo(folder + "windows-1252.ess");
    SaveBuilder().Raw("TES4 not a save").WriteTo(folder + "not-a-save.ess");
    SaveBuilder().Header().Player().WriteTo(folder + "no-globals.ess");
    SaveBuilder()
        .Header()
        .Raw("GLOB")
        .Raw(std::string(12, '\0'))
        .Raw("NAME")
        .Raw("\xFF\xFF\xFF\x7F")
        .WriteTo(folder + "broken-global.ess");
    SaveBuilder().Header().Glob("Day", 1).Npc("guard").WriteTo(folder + "no-player.ess");
    SaveBuilder()
        .Header()
        .Glob("Day", 1)
        .Raw("NPC_")
        .Raw(std::string(12, '\0'))
        .Raw("NAME")
        .Raw(std::string("\x07\0\0\0player", 10))
        .WriteTo(folder + "player-cut-short.ess");
    SaveBuilder()
        .Header()
        .Glob("Day", 1)
        .Record("NPC_", {TextSub("NAME", "player"), {"XXXX", "x"}})
        .WriteTo(folder + "player-malformed.ess");
    return 0;
}
