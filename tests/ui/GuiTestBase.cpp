#include "tests/ui/GuiTestBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTabWidget>
#include <QTest>

#include "res/ControlIds.h"

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

void GuiTest::Click(ui::CDialogBase& window, int id) {
    auto* button = qobject_cast<QAbstractButton*>(window.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    ASSERT_TRUE(button->isVisibleTo(button->window())) << button->text().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

void GuiTest::Type(ui::CDialogBase& window, int id, const QString& text) {
    QWidget* field = window.GetDlgItem(id);
    ASSERT_NE(field, nullptr) << id;
    ASSERT_TRUE(field->isEnabled()) << id;
    QWidget* input = field;
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        input = combo->lineEdit();
    QTest::keyClick(input, Qt::Key_A, Qt::ControlModifier);  // select what is there
    QTest::keyClick(input, Qt::Key_Delete);
    QTest::keyClicks(input, text);
}

void GuiTest::ClickOpen(const std::optional<std::string>& path) {
    prompts->fileAnswers.push_back(path);
    Click(main, IDC_OPEN_FILE);
}

void GuiTest::ClickCommit(std::initializer_list<int> answers) {
    prompts->messageAnswers.assign(answers.begin(), answers.end());
    Click(main, IDC_COMMIT_CHANGES);
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
