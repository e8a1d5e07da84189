// Shared fixture for the editor's GUI tests: a temporary folder with a generated
// save, scripted answers for every message box and file dialog, and the main window
// shown without a modal loop of its own.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <memory>

#include "platform/CComboBox.h"
#include "platform/Prompts.h"
#include "res/ControlIds.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"
#include "ui/MainDlg.h"

namespace quellhart::test {

class GuiTest : public ::testing::Test {
protected:
    GuiTest();
    ~GuiTest() override;

    // Writes `save` as `name` in the temporary folder and returns its path.
    std::string WriteSave(const SaveBuilder& save, const std::string& name = "save.ess");
    // Clicks the button with the mouse, as a user does; a test fails when it is
    // disabled, hidden or not a button.
    void Click(ui::CDialogBase& window, int id);
    // Replaces the field's text by typing, as a user does.
    void Type(ui::CDialogBase& window, int id, const QString& text);
    // Clicks "OpenFile" with the file dialog answering `path` (nothing: cancelled).
    void ClickOpen(const std::optional<std::string>& path);
    // Clicks "CommitChanges" with the given answers to its questions.
    void ClickCommit(std::initializer_list<int> answers = {});

    std::string Text(ui::CDialogBase& window, int id) const;
    QLineEdit* Edit(ui::CDialogBase& window, int id) const;
    QComboBox* Combo(ui::CDialogBase& window, int id) const;
    std::string Label() const { return Text(main, IDC_ACTIVE_FILE); }
    bool CommitEnabled() const { return main.GetDlgItem(IDC_COMMIT_CHANGES)->isEnabled(); }
    void ShowPage(int index);

    TempDir dir;
    ui::ScriptedPrompts* prompts;  // owned by the platform layer while installed
    mutable ui::CMainDlg main;
};

}  // namespace quellhart::test
