#include "tests/support/SampleSaves.h"

#include "tests/support/SaveBuilder.h"

namespace quellhart::test {

void WriteSampleSaves(const std::string& where) {
    const std::string folder = where + "/";
    StandardSave().WriteTo(folder + "normal.ess");
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
    // Texts the pages' lists read by their rule: the entry they begin with, case
    // ignored; the second entry for none.
    PlayerTexts lowerCase;
    lowerCase.race = "dark elf";
    lowerCase.cls = "Mag";
    SaveBuilder().Header().Glob("Day", 1).Player(lowerCase).WriteTo(folder + "lower-case.ess");
    PlayerTexts noRace;
    noRace.race = "";
    SaveBuilder().Header().Glob("Day", 1).Player(noRace).WriteTo(folder + "empty-race.ess");
    // A chargen class the save does not define: the user is warned.
    PlayerTexts chargen;
    chargen.cls = "NEWCLASSID_CHARGEN";
    SaveBuilder().Header().Glob("Day", 1).Player(chargen).WriteTo(folder + "chargen-undefined.ess");
    // A head model and a race longer than the fields take.
    PlayerTexts longHead;
    longHead.head = "b_n_nord_m_head_01_with_a_name_longer_than_the_fields_take";
    longHead.race = "A race of a mod, with a name longer than the fields take";
    SaveBuilder().Header().Glob("Day", 1).Player(longHead).WriteTo(folder + "long-head.ess");
    StandardSave().WriteTo(folder + "CAPS.ESS");
}

}  // namespace quellhart::test
