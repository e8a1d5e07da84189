// Shared fixture for the editor's window tests: a temporary folder with a generated
// save, scripted answers for every message box and file dialog, and the main window
// shown without a modal loop of its own. Written once for every toolkit: the
// actions go through the window driver.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "codepage/CodePage.h"
#include "res/ControlIds.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/ui/MainDlgProbe.h"
#include "tests/ui/ScriptedPrompts.h"
#include "tests/ui/WindowDriver.h"
#include "ui/MainDlg.h"
#include "ui/platform/CComboBox.h"
#include "ui/platform/Prompts.h"

namespace quellhart::test {

// The save texts' code page for one test, as the editor's start chooses it.
class UsingCodePage {
public:
    explicit UsingCodePage(int number) { UseSaveTextCodePage(*CodePage::Find(number)); }
    ~UsingCodePage() { UseSaveTextCodePage(CodePage::Western()); }
    UsingCodePage(const UsingCodePage&) = delete;
    UsingCodePage& operator=(const UsingCodePage&) = delete;
};

class GuiTest : public ::testing::Test {
protected:
    GuiTest();
    ~GuiTest() override;

    // Writes `save` as `name` in the temporary folder and returns its path.
    std::string WriteSave(const SaveBuilder& save, const std::string& name = "save.ess");
    // Clicks "OpenFile" with the file dialog answering `path` (nothing: cancelled).
    void ClickOpen(const std::optional<std::string>& path);
    // Clicks "CommitChanges" with the given answers to its questions.
    void ClickCommit(std::initializer_list<int> answers = {});

    static ui::CWnd Control(ui::CDialogBase& window, int id);
    static std::string Text(ui::CDialogBase& window, int id);
    static bool IsEnabled(ui::CDialogBase& window, int id);
    // The entries of a list, in the order shown.
    static std::vector<std::string> Entries(ui::CDialogBase& window, int id);
    std::string Label() const { return Text(main, IDC_ACTIVE_FILE); }
    bool CommitEnabled() const { return IsEnabled(main, IDC_COMMIT_CHANGES); }
    void ShowPage(int index) { test::ShowPage(Held(main).Sheet(), index); }

    TempDir dir;
    ui::ScriptedPrompts* prompts;  // owned by the platform layer while installed
    // The window's files: the system's, until a test makes a call fail.
    FaultyFileSystem files;
    mutable ui::CMainDlg main{nullptr, files};
};

}  // namespace quellhart::test
