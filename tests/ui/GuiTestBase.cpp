#include "tests/ui/GuiTestBase.h"

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
    Click(main, IDC_OPEN_FILE);
}

void GuiTest::ClickCommit(std::initializer_list<int> answers) {
    prompts->messageAnswers.assign(answers.begin(), answers.end());
    Click(main, IDC_COMMIT_CHANGES);
}

ui::CWnd GuiTest::Control(ui::CDialogBase& window, int id) {
    ui::CWnd control;
    control.Attach(window.GetDlgItem(id));
    EXPECT_TRUE(control) << "no control " << id;
    return control;
}

std::string GuiTest::Text(ui::CDialogBase& window, int id) {
    return Control(window, id).GetWindowText(1 << 20);
}

bool GuiTest::IsEnabled(ui::CDialogBase& window, int id) {
    return Control(window, id).IsWindowEnabled();
}

std::vector<std::string> GuiTest::Entries(ui::CDialogBase& window, int id) {
    ui::CComboBox list;
    list.Attach(window.GetDlgItem(id));
    std::vector<std::string> entries;
    for (int i = 0; i < list.GetCount(); ++i) entries.push_back(list.GetLBText(i));
    return entries;
}

}  // namespace quellhart::test
