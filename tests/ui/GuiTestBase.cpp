#include "GuiTestBase.h"

#include <QApplication>
#include <QDialog>
#include <QTabWidget>

#include "ControlIds.h"

namespace quellhart::test {

GuiTest::GuiTest() {
    auto scripted = std::make_unique<ui::ScriptedPrompts>();
    prompts = scripted.get();
    ui::InstallPrompts(std::move(scripted));
    main.Create();
}

GuiTest::~GuiTest() {
    main.DestroyWindow();
    ui::InstallPrompts(nullptr);
}

std::string GuiTest::WriteSave(const SaveBuilder& save, const std::string& name) {
    const std::string path = dir.File(name);
    save.WriteTo(path);
    return path;
}

void GuiTest::ClickOpen(const std::optional<std::string>& path) {
    prompts->fileAnswers.push_back(path);
    main.SendCommand(IDC_OPEN_FILE);
}

void GuiTest::ClickCommit(std::initializer_list<int> answers) {
    prompts->messageAnswers.assign(answers.begin(), answers.end());
    main.SendCommand(IDC_COMMIT_CHANGES);
}

std::string GuiTest::Text(ui::CDialogBase& window, int id) const {
    ui::CWnd control;
    control.Attach(window.GetDlgItem(id));
    return control.GetWindowText(1 << 20);
}

QLineEdit* GuiTest::Edit(ui::CDialogBase& window, int id) const {
    return qobject_cast<QLineEdit*>(window.GetDlgItem(id));
}

QComboBox* GuiTest::Combo(ui::CDialogBase& window, int id) const {
    return qobject_cast<QComboBox*>(window.GetDlgItem(id));
}

void GuiTest::ShowPage(int index) { main.Sheet().Tabs()->setCurrentIndex(index); }

}  // namespace quellhart::test
