#include <QComboBox>
#include <QSignalBlocker>

#include "ui/platform/CComboBox.h"
#include "ui/platform/qt/QtWindows.h"
#include "ui/platform/qt/SaveText.h"

namespace quellhart::ui {
namespace {

bool IsSorted(const QComboBox* combo) { return combo->property("sorted").toBool(); }

}  // namespace

void CComboBox::ResetContent() {
    if (QComboBox* combo = ToWidget<QComboBox>(hwnd_)) {
        const QSignalBlocker quiet(combo);
        const QString editText = combo->isEditable() ? combo->currentText() : QString();
        combo->clear();
        combo->setCurrentIndex(-1);
        if (combo->isEditable()) SetEditTextShowingStart(combo, editText);
    }
}

int CComboBox::AddString(std::string_view text) {
    QComboBox* combo = ToWidget<QComboBox>(hwnd_);
    if (!combo) return CB_ERR;
    const QString entry = FromSaveText(text);
    int at = combo->count();
    if (IsSorted(combo)) {
        // After every entry that sorts before or equal to it; the entries are in order,
        // so the place is found by halving (a list of a thousand variables fills in
        // ten comparisons an entry).
        int before = 0, after = combo->count();
        while (before < after) {
            const int middle = before + (after - before) / 2;
            if (QString::compare(combo->itemText(middle), entry, Qt::CaseInsensitive) <= 0)
                before = middle + 1;
            else
                after = middle;
        }
        at = before;
    }
    const QSignalBlocker quiet(combo);
    const int selected = combo->currentIndex();
    const QString editText = combo->currentText();
    combo->insertItem(at, entry);
    // Qt selects the first entry of an empty list; a list box does not.
    combo->setCurrentIndex(selected < 0 ? -1 : selected + (at <= selected ? 1 : 0));
    if (combo->isEditable()) SetEditTextShowingStart(combo, editText);
    return at;
}

int CComboBox::DeleteString(int index) {
    QComboBox* combo = ToWidget<QComboBox>(hwnd_);
    if (!combo || index < 0 || index >= combo->count()) return CB_ERR;
    const QSignalBlocker quiet(combo);
    const QString editText = combo->currentText();
    combo->removeItem(index);
    if (combo->isEditable()) SetEditTextShowingStart(combo, editText);
    return combo->count();
}

int CComboBox::GetCount() const {
    return ToWidget<QComboBox>(hwnd_) ? ToWidget<QComboBox>(hwnd_)->count() : 0;
}

int CComboBox::GetCurSel() const {
    return ToWidget<QComboBox>(hwnd_) ? ToWidget<QComboBox>(hwnd_)->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    QComboBox* combo = ToWidget<QComboBox>(hwnd_);
    if (!combo) return CB_ERR;
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    return combo->currentIndex() == index ? index : CB_ERR;
}

int CComboBox::SetItemData(int index, intptr_t data) {
    QComboBox* combo = ToWidget<QComboBox>(hwnd_);
    if (!combo || index < 0 || index >= combo->count()) return CB_ERR;
    combo->setItemData(index, QVariant::fromValue<qlonglong>(data));
    return 0;
}

intptr_t CComboBox::GetItemData(int index) const {
    const QComboBox* combo = ToWidget<QComboBox>(hwnd_);
    if (!combo || index < 0 || index >= combo->count()) return CB_ERR;
    return intptr_t(combo->itemData(index).toLongLong());
}

int CComboBox::SelectString(int startAfter, std::string_view text) {
    QComboBox* combo = ToWidget<QComboBox>(hwnd_);
    if (!combo || combo->count() == 0) return CB_ERR;
    const QString prefix = FromSaveText(text);
    const int i = FindPrefixFrom(combo->count(), startAfter, [&](int entry) {
        return combo->itemText(entry).startsWith(prefix, Qt::CaseInsensitive);
    });
    if (i == CB_ERR) return CB_ERR;
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(i);
    if (combo->isEditable()) SetEditTextShowingStart(combo, combo->itemText(i));
    return i;
}

std::string CComboBox::GetLBText(int index) const {
    const QComboBox* combo = ToWidget<QComboBox>(hwnd_);
    if (!combo || index < 0 || index >= combo->count()) return {};
    return ToSaveText(combo->itemText(index));
}

}  // namespace quellhart::ui
