// The scenarios every edition runs (tests/scenarios/editions.json), here on the
// window: opened, chosen, typed and pressed as a user does, with the dialogs' texts
// in order and the committed save read back.
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "codepage/CodePage.h"
#include "res/DialogTemplates.h"
#include "savefile/SaveGame.h"
#include "savefile/ValueText.h"
#include "tests/support/SampleSaves.h"
#include "tests/ui/GuiTestBase.h"

namespace quellhart::test {
namespace {

const char* const kScenarios =
#include "EditionScenarios.inc"
    ;

const nlohmann::json& Scenarios() {
    static const nlohmann::json all = nlohmann::json::parse(kScenarios)["scenarios"];
    return all;
}

std::string WithoutTrailingSpaces(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The step's part under `key`; an empty one where it has none.
const nlohmann::json& Part(const nlohmann::json& step, const char* key) {
    static const nlohmann::json none = nlohmann::json::object();
    return step.contains(key) ? step[key] : none;
}

// The first line of a message, as the table gives it.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

class EditionScenario : public GuiTest, public ::testing::WithParamInterface<size_t> {
protected:
    const nlohmann::json& Row() const { return Scenarios()[GetParam()]; }

    // The page of the tab named, shown as a click on its tab shows it.
    ui::CDialogBase& Page(const std::string& name) {
        const bool player = name == "Player Data";
        ShowPage(player ? 0 : 1);
        return player ? static_cast<ui::CDialogBase&>(Held(main).PlayerPage())
                      : static_cast<ui::CDialogBase&>(Held(main).GlobPage());
    }

    // The control a caption of the page names: a field by its label, a button by its
    // own text.
    static int ControlCaptioned(const std::string& page, const std::string& caption) {
        const res::DialogTemplate& dialog =
            page == "Player Data" ? res::PlayerPageTemplate() : res::GlobalsPageTemplate();
        for (const res::ControlTemplate& control : dialog.controls) {
            if (control.text != caption) continue;
            if (control.labelFor > 0) return control.labelFor;
            if (control.kind == res::ControlKind::Button) return control.id;
        }
        ADD_FAILURE() << "no field captioned \"" << caption << "\" on " << page;
        return -1;
    }

    void Run(const nlohmann::json& step) {
        if (step.contains("open")) return ClickOpen(dir.File(step["open"]));
        if (step.contains("commit")) return ClickCommit();
        const std::string name = step["page"];
        ui::CDialogBase& page = Page(name);
        if (step.contains("choose")) {
            const std::vector<std::string> names = Entries(page, IDC_GLOB_LIST);
            const auto at = std::find(names.begin(), names.end(), step["choose"]);
            ASSERT_NE(at, names.end()) << step["choose"];
            Choose(page, IDC_GLOB_LIST, int(at - names.begin()));
        }
        for (const auto& [caption, text] : Part(step, "type").items())
            Type(page, ControlCaptioned(name, caption), text);
        if (step.contains("press")) Click(page, ControlCaptioned(name, step["press"]));
        if (step.contains("enter")) {
            Focus(page, ControlCaptioned(name, step["enter"]));
            Press(main, Key::Enter);
        }
        for (const auto& [caption, text] : Part(step, "expect").items())
            EXPECT_EQ(WithoutTrailingSpaces(ShownText(page, ControlCaptioned(name, caption))),
                      text.get<std::string>())
                << name << ": " << caption;
        for (const auto& [caption, entries] : Part(step, "entries").items())
            EXPECT_EQ(Entries(page, ControlCaptioned(name, caption)),
                      entries.get<std::vector<std::string>>())
                << name << ": " << caption;
    }

    // The last save opened, as committed, read back by the library.
    void ExpectSaved(const nlohmann::json& saved) {
        std::string path;
        for (const nlohmann::json& step : Row()["steps"])
            if (step.contains("open")) path = dir.File(step["open"]);
        CSaveGame save;
        ASSERT_TRUE(save.Open(path) && save.Load()) << save.GetError().text;
        const std::pair<const char*, PlayerRecord::Field> texts[] = {
            {"Name", PlayerRecord::FNAM},
            {"Race", PlayerRecord::RNAM},
            {"Class", PlayerRecord::CNAM},
            {"Head Model", PlayerRecord::BNAM},
            {"Hair Model", PlayerRecord::KNAM}};
        for (const auto& [caption, field] : texts) {
            if (!saved.contains(caption)) continue;
            EXPECT_EQ(SaveTextCodePage().Decode(save.Player()[field].Text()),
                      saved[caption].get<std::string>())
                << caption;
        }
        for (const auto& [name, value] : Part(saved, "globals").items())
            for (int i = 0; i < save.GlobCount(); ++i) {
                if (save.Glob(i).NameText() != name) continue;
                EXPECT_EQ(FormatFixed(save.Glob(i).value), value.get<std::string>()) << name;
            }
    }
};

TEST_P(EditionScenario, ShowsAsksAndSavesAsEveryEdition) {
    WriteSampleSaves(dir.Path().string());
    // The code page the player chose (the editor's start chooses it from the system).
    std::optional<UsingCodePage> codePage;
    if (Row().contains("codePage")) codePage.emplace(Row()["codePage"].get<int>());
    for (const nlohmann::json& step : Row()["steps"]) {
        SCOPED_TRACE(step.dump());
        Run(step);
    }
    std::vector<std::string> dialogs;
    for (const ui::ScriptedPrompts::MessageCall& call : prompts->messages)
        dialogs.push_back(call.caption + ": " + FirstLine(call.text));
    EXPECT_EQ(dialogs, Row()["dialogs"].get<std::vector<std::string>>());
    if (Row().contains("saved")) ExpectSaved(Row()["saved"]);
}

INSTANTIATE_TEST_SUITE_P(Table, EditionScenario, ::testing::Range<size_t>(0, Scenarios().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string name;
                             for (char c : Scenarios()[info.param]["name"].get<std::string>())
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             return name;
                         });

}  // namespace
}  // namespace quellhart::test
