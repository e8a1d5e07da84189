// Reading a save: the GLOB run, the chargen-class probe and the player record.
#include <gtest/gtest.h>

#include "savefile/SaveErrors.h"
#include "tests/support/LoadedSave.h"
#include "tests/support/SaveGameProbe.h"

namespace quellhart {
namespace {

using test::PlayerTexts;
using test::SaveBuilder;
using test::TextSub;

class LoaderTest : public test::LoadedSaveTest {};

TEST_F(LoaderTest, StandardSaveIsReadWhole) {
    SaveBuilder b;
    b.Header();
    const size_t globAt = b.Offset();
    b.Glob("Day", 12.0f).Glob("Month", 3.0f).Filler(100);
    const size_t playerAt = b.Offset();
    b.Player().Filler(50);
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();

    ASSERT_EQ(doc->GlobCount(), 2);
    const GlobEntry& day = doc->Glob(0);
    EXPECT_EQ(day.rawAddress, int32_t(globAt));
    EXPECT_EQ(day.NameText(), "Day");
    EXPECT_EQ(day.NameLen(), 4);
    EXPECT_EQ(day.fnamLen(), 1);
    EXPECT_EQ(day.valueLen, 4);
    EXPECT_EQ(day.value, 12.0f);
    EXPECT_FALSE(day.modified);
    EXPECT_EQ(day.unk1[0], (8 + 4) + (8 + 1) + (8 + 4));  // the size word: three subrecords
    EXPECT_EQ(doc->Glob(1).value, 3.0f);

    EXPECT_EQ(doc->PlayerRawAddress(), int32_t(playerAt));
    const PlayerTexts texts;
    EXPECT_EQ(doc->Player()[PlayerRecord::FNAM].Text(), texts.name);
    EXPECT_EQ(doc->Player()[PlayerRecord::RNAM].Text(), texts.race);
    EXPECT_EQ(doc->Player()[PlayerRecord::CNAM].Text(), texts.cls);
    EXPECT_EQ(doc->Player()[PlayerRecord::BNAM].Text(), texts.head);
    EXPECT_EQ(doc->Player()[PlayerRecord::KNAM].Text(), texts.hair);
    EXPECT_FALSE(doc->HasChargenClass());
    // Nothing holds the save once it is loaded: a game may replace it meanwhile.
    EXPECT_FALSE(test::SaveGameProbe::IsInputOpen(*doc));
}

TEST_F(LoaderTest, RunStartsAtTheFirstGlobEvenInsideTheHeader) {
    SaveBuilder b;
    b.Raw("TES3").Raw("glob").Raw("xx");  // lower case is no tag
    const size_t globAt = b.Offset();
    b.Glob("Inside", 1.0f).Player();
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();
    EXPECT_EQ(doc->GlobCount(), 1);
    EXPECT_EQ(doc->Glob(0).rawAddress, int32_t(globAt));
}

TEST_F(LoaderTest, LowerCaseGlobIsNoTag) {
    SaveBuilder b;
    b.Header().Raw("glob").Player();
    EXPECT_FALSE(OpenAndLoad(b));
    EXPECT_EQ(doc->GetErrorText(), errors::kNoGlobSection);
}

TEST_F(LoaderTest, RunEndsAtTheFirstOtherRecord) {
    SaveBuilder b;
    b.Header().Glob("a", 1).Glob("b", 2).Filler(40).Glob("later", 3).Player();
    ASSERT_TRUE(OpenAndLoad(b));
    EXPECT_EQ(doc->GlobCount(), 2);
}

TEST_F(LoaderTest, AtMostAThousandGlobsAreRead) {
    SaveBuilder b;
    b.Header().Globs(1200).Clas("NEWCLASSID_CHARGEN").Player();
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();
    EXPECT_EQ(doc->GlobCount(), 1000);
    EXPECT_EQ(doc->Glob(999).NameText(), "var999");
    // The probe reads the last 4 bytes of record 1000, not the CLAS further on.
    EXPECT_FALSE(doc->HasChargenClass());
}

TEST_F(LoaderTest, PlayerSearchAfterACutRunStartsFourBytesBeforeItsEnd) {
    // The player's tag begins in the value of record 1000; it is found there.
    SaveBuilder b;
    b.Header().Globs(999);
    b.Record("GLOB", {TextSub("NAME", "last"), {"FNAM", "f"}, {"FLTV", "NPC_"}});
    b.Raw(test::LittleEndian32(0)).Raw(std::string(8, '\0'));
    b.Raw("NAME").Raw(test::LittleEndian32(7)).Raw(std::string("player\0", 7));
    for (const char* tag : {"FNAM", "RNAM", "CNAM", "ANAM", "BNAM", "KNAM"})
        b.Raw(tag).Raw(test::LittleEndian32(2)).Raw(std::string("x\0", 2));
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();
    EXPECT_EQ(doc->PlayerRawAddress(), int32_t(b.Bytes().find("NPC_")));
}

TEST_F(LoaderTest, ChargenClassRightAfterTheRunIsFoundWhateverItsLength) {
    for (const std::string name : {"NEWCLASSID_CHARGEN", "NEWCLASSID_CHARGEN_extra"}) {
        SaveBuilder b;
        b.Header().Glob("a", 1).Clas(name).Player();
        ASSERT_TRUE(OpenAndLoad(b));
        EXPECT_TRUE(doc->HasChargenClass()) << name;
    }
    // Stored without the terminating zero: length 18.
    SaveBuilder b;
    b.Header().Glob("a", 1).Record("CLAS", {{"NAME", "NEWCLASSID_CHARGEN"}}).Player();
    ASSERT_TRUE(OpenAndLoad(b));
    EXPECT_TRUE(doc->HasChargenClass());
}

TEST_F(LoaderTest, OtherClassesOrALaterClasDoNotSetTheMark) {
    SaveBuilder other;
    other.Header().Glob("a", 1).Clas("NEWCLASSID_CHARGEX").Player();
    ASSERT_TRUE(OpenAndLoad(other));
    EXPECT_FALSE(doc->HasChargenClass());

    SaveBuilder later;
    later.Header().Glob("a", 1).Filler(30).Clas("NEWCLASSID_CHARGEN").Player();
    ASSERT_TRUE(OpenAndLoad(later));
    EXPECT_FALSE(doc->HasChargenClass());

    SaveBuilder notName;
    notName.Header().Glob("a", 1).Record("CLAS", {TextSub("FNAM", "NEWCLASSID_CHARGEN")}).Player();
    ASSERT_TRUE(OpenAndLoad(notName));
    EXPECT_FALSE(doc->HasChargenClass());
}

TEST_F(LoaderTest, OtherNpcsBeforeThePlayerArePassedOver) {
    SaveBuilder b;
    b.Header().Glob("a", 1).Npc("player_2", {TextSub("FNAM", "x")}).Npc("guard");
    b.Npc("playe");  // too short to be the player
    const size_t playerAt = b.Offset();
    b.Player();
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();
    EXPECT_EQ(doc->PlayerRawAddress(), int32_t(playerAt));
}

TEST_F(LoaderTest, MissingPlayerFailsAndClearsTheModel) {
    SaveBuilder b;
    b.Header().Glob("a", 1).Npc("guard").Filler(2000);
    EXPECT_FALSE(OpenAndLoad(b));
    EXPECT_EQ(doc->GetErrorText(), errors::kNoPlayerData);
    EXPECT_EQ(doc->GlobCount(), 0);
    EXPECT_TRUE(test::SaveGameProbe::IsInputOpen(*doc));
}

TEST_F(LoaderTest, FileEndingRightAfterTheRunHasNoPlayer) {
    SaveBuilder b;
    b.Header().Glob("a", 1).Glob("b", 2);
    EXPECT_FALSE(OpenAndLoad(b));
    EXPECT_EQ(doc->GetErrorText(), errors::kNoPlayerData);
    EXPECT_EQ(doc->GlobCount(), 0);
}

TEST_F(LoaderTest, FileEndingInsideAGlobFailsTheExtraction) {
    SaveBuilder full;
    full.Header().Glob("a", 1).Glob("b", 2);
    SaveBuilder cut;
    cut.Raw(full.Bytes().substr(0, full.Bytes().size() - 2));
    EXPECT_FALSE(OpenAndLoad(cut));
    EXPECT_EQ(doc->GetErrorText(), errors::kGlobExtraction);
    EXPECT_EQ(doc->GlobCount(), 0);
    EXPECT_TRUE(test::SaveGameProbe::IsInputOpen(*doc));
}

TEST_F(LoaderTest, FileEndingInsideThePlayersKnamClosesTheInput) {
    SaveBuilder full;
    full.Header().Glob("a", 1).Player();
    const size_t knamEnd = full.Bytes().find("NPDT");
    SaveBuilder cut;
    cut.Raw(full.Bytes().substr(0, knamEnd - 3));
    EXPECT_FALSE(OpenAndLoad(cut));
    EXPECT_EQ(doc->GetErrorText(), errors::kPlayerExtraction);
    EXPECT_FALSE(test::SaveGameProbe::IsInputOpen(*doc));
    EXPECT_EQ(doc->GlobCount(), 0);
}

TEST_F(LoaderTest, FileEndingInsideACandidatesNameFailsTheSearch) {
    SaveBuilder b;
    b.Header().Glob("a", 1).Raw("NPC_").Raw(std::string(12, '\0')).Raw("NAME");
    b.Raw(test::LittleEndian32(7)).Raw("pla");
    EXPECT_FALSE(OpenAndLoad(b));
    EXPECT_EQ(doc->GetErrorText(), errors::kPlayerSearch);
    EXPECT_TRUE(test::SaveGameProbe::IsInputOpen(*doc));
}

TEST_F(LoaderTest, PlayerSubrecordsMustBeTheSevenItIsRewrittenAs) {
    SaveBuilder b;
    b.Header().Glob("a", 1).Npc(
        "player", {TextSub("FNAM", "Bob"), TextSub("RNAM", "Nord"), TextSub("CNAM", "Thief"),
                   TextSub("BNAM", "head"), TextSub("KNAM", "hair"), TextSub("NPDT", "x")});
    EXPECT_FALSE(OpenAndLoad(b));
    EXPECT_EQ(doc->GetErrorText(), errors::kPlayerExtraction);
}

TEST_F(LoaderTest, LoadingTwiceGivesTheSameModel) {
    ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
    const int count = doc->GlobCount();
    const int32_t address = doc->PlayerRawAddress();
    const std::string name(doc->Player()[PlayerRecord::FNAM].Text());
    ASSERT_TRUE(doc->Load());
    EXPECT_EQ(doc->GlobCount(), count);
    EXPECT_EQ(doc->PlayerRawAddress(), address);
    EXPECT_EQ(doc->Player()[PlayerRecord::FNAM].Text(), name);
    EXPECT_EQ(doc->Glob(2).value, 9.5f);
}

TEST_F(LoaderTest, ShortSaveLoadsLikeALongOne) {
    SaveBuilder b;
    b.Raw("TES3").Glob("x", 2.0f).Player();
    ASSERT_LT(b.Bytes().size(), 1024u);
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();
    EXPECT_EQ(doc->GlobCount(), 1);
    EXPECT_EQ(doc->PlayerRawAddress(), int32_t(b.Bytes().find("NPC_")));
}

TEST_F(LoaderTest, LoadWithoutOpenFindsNothing) {
    CSaveGame fresh;
    EXPECT_EQ(fresh.GetErrorText(), "");
    EXPECT_FALSE(fresh.Load());
    EXPECT_EQ(fresh.GetErrorText(), errors::kNoGlobSection);
}

// Value lengths: up to 4 bytes fit the slot, the rest of it stays zero; longer fails.
TEST_F(LoaderTest, ShortValuesFillPartOfTheSlot) {
    SaveBuilder b;
    b.Header().Record("GLOB", {TextSub("NAME", "s"), {"FNAM", "f"}, {"FLTV", "\x11\x22"}});
    b.Record("GLOB", {TextSub("NAME", "z"), {"FNAM", ""}, {"FLTV", ""}}).Player();
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();
    EXPECT_EQ(doc->Glob(0).valueLen, 2);
    EXPECT_EQ(doc->Glob(0).ValueBytes(), (std::array<uint8_t, 4>{0x11, 0x22, 0, 0}));
    EXPECT_EQ(doc->Glob(1).valueLen, 0);
    EXPECT_EQ(doc->Glob(1).fnamLen(), 0);
    EXPECT_EQ(doc->Glob(1).value, 0.0f);
}

TEST_F(LoaderTest, ValuesLongerThanTheSlotFailTheExtraction) {
    for (const char* value : {"12345", "12345678"}) {
        SaveBuilder b;
        b.Header().Record("GLOB", {TextSub("NAME", "d"), {"FNAM", "f"}, {"FLTV", value}});
        b.Player();
        EXPECT_FALSE(OpenAndLoad(b)) << value;
        EXPECT_EQ(doc->GetErrorText(), errors::kGlobExtraction) << value;
    }
}

// Which "NPC_" record is the player's: the first whose NAME data begins with "player"
// and its zero, whatever follows; a record that is the player's by its name but whose
// first subrecord is not NAME cannot be rewritten as one, and fails the extraction.
TEST_F(LoaderTest, ThePlayerIsTheFirstRecordNamedPlayer) {
    struct Case {
        const char* tag;
        std::string name;
        const char* error;  // "" when this record is the player's
    };
    const Case cases[] = {
        {"NAME", std::string("player\0", 7), ""},
        {"NAME", std::string("player\0xyz", 10), ""},
        {"NAME", std::string("player", 6), nullptr},  // nullptr: passed over
        {"NAME", std::string("Player\0", 7), nullptr},
        {"FNAM", std::string("player\0", 7), errors::kPlayerExtraction},
    };
    for (const Case& c : cases) {
        SaveBuilder b;
        b.Header().Glob("a", 1);
        const size_t candidateAt = b.Offset();
        b.Record("NPC_", {{c.tag, c.name},
                          TextSub("FNAM", "First"),
                          TextSub("RNAM", "r"),
                          TextSub("CNAM", "c"),
                          TextSub("ANAM", "a"),
                          TextSub("BNAM", "b"),
                          TextSub("KNAM", "k")});
        const size_t laterAt = b.Offset();
        b.Player();
        const bool loaded = OpenAndLoad(b);
        if (c.error && *c.error) {
            EXPECT_FALSE(loaded) << c.tag << " " << c.name;
            EXPECT_EQ(doc->GetErrorText(), c.error) << c.tag << " " << c.name;
            continue;
        }
        ASSERT_TRUE(loaded) << c.tag << " " << c.name << ": " << doc->GetErrorText();
        EXPECT_EQ(doc->PlayerRawAddress(), int32_t(c.error ? candidateAt : laterAt))
            << c.tag << " " << c.name;
    }
}

// A tag in the last four bytes of the file is found, right after a byte that begins
// it too; what would follow it is missing.
TEST_F(LoaderTest, ATagInTheLastFourBytesIsFound) {
    const std::pair<const char*, const char*> ends[] = {{"GGLOB", errors::kGlobExtraction},
                                                        {"NNPC_", errors::kPlayerSearch}};
    for (const auto& [tag, error] : ends) {
        SaveBuilder b;
        b.Header();
        if (std::string(tag) == "NNPC_") b.Glob("a", 1).Filler(3000);
        b.Raw(tag);
        EXPECT_FALSE(OpenAndLoad(b)) << tag;
        EXPECT_EQ(doc->GetErrorText(), error) << tag;
    }
}

// Lengths that are negative or run past the end of the file fail their own step.
TEST_F(LoaderTest, AbsurdLengthsFailTheirStepBeforeAllocating) {
    const uint32_t lengths[] = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 100000u};
    for (uint32_t length : lengths) {
        SaveBuilder glob;
        glob.Header().Raw("GLOB").Raw(std::string(12, '\0')).Raw("NAME");
        glob.Raw(test::LittleEndian32(length)).Raw("abc").Player();
        EXPECT_FALSE(OpenAndLoad(glob));
        EXPECT_EQ(doc->GetErrorText(), errors::kGlobExtraction) << length;

        SaveBuilder npc;
        npc.Header().Glob("a", 1).Raw("NPC_").Raw(std::string(12, '\0')).Raw("NAME");
        npc.Raw(test::LittleEndian32(length)).Raw("player").Player();
        EXPECT_FALSE(OpenAndLoad(npc));
        EXPECT_EQ(doc->GetErrorText(), errors::kPlayerSearch) << length;

        SaveBuilder sub;
        sub.Header().Glob("a", 1).Npc("player").Raw("FNAM").Raw(test::LittleEndian32(length));
        sub.Raw("x").Filler(100);
        EXPECT_FALSE(OpenAndLoad(sub));
        EXPECT_EQ(doc->GetErrorText(), errors::kPlayerExtraction) << length;
    }
}

}  // namespace
}  // namespace quellhart

namespace quellhart {
namespace {

// A large save with hundreds of other characters before the player: the whole load
// reads each byte of the file once, give or take a buffer's worth, and holds nothing
// of the filler.
TEST_F(LoaderTest, ReadsALargeSaveOnceForward) {
    SaveBuilder b;
    b.Header().Globs(1000);
    for (int i = 0; i < 600; ++i) b.Filler(5000).Npc("npc" + std::to_string(i));
    b.Player().Filler(100000);
    ASSERT_TRUE(OpenAndLoad(b)) << doc->GetErrorText();
    EXPECT_EQ(doc->GlobCount(), 1000);
    const auto size = int64_t(b.Bytes().size());
    EXPECT_LE(test::SaveGameProbe::BytesReadFromSave(*doc), size + (256 << 10));
}

}  // namespace
}  // namespace quellhart
