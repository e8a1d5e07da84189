// For the tests of what only the Qt build has: the widgets behind the windows.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTabWidget>

#include "ui/MainDlg.h"
#include "ui/platform/CPropertySheet.h"
#include "ui/platform/qt/QtWindows.h"

namespace quellhart::test {

inline QWidget* Widget(const ui::CDialogBase& window, int id) {
    return ui::ToWidget(window.GetDlgItem(id));
}
inline QLineEdit* Edit(const ui::CDialogBase& window, int id) {
    return qobject_cast<QLineEdit*>(Widget(window, id));
}
inline QComboBox* Combo(const ui::CDialogBase& window, int id) {
    return qobject_cast<QComboBox*>(Widget(window, id));
}
inline QDialog* DialogOf(const ui::CDialog& dialog) {
    return ui::ToWidget<QDialog>(dialog.Window());
}
inline QDialog* HelpDialog(const ui::CMainDlg& main) {
    return ui::ToWidget<QDialog>(main.HelpWindow());
}
inline QTabWidget* Tabs(const ui::CPropertySheet& sheet) {
    return ui::ToWidget<QTabWidget>(sheet.GetSafeHwnd());
}

}  // namespace quellhart::test
