#include "ui/model/ChoiceList.h"

#include <algorithm>
#include <cctype>

namespace quellhart::ui {
namespace {

int FoldedByte(char c) { return std::tolower(static_cast<unsigned char>(c)); }

bool SortsAfter(std::string_view entry, std::string_view text) {
    return std::lexicographical_compare(
        text.begin(), text.end(), entry.begin(), entry.end(),
        [](char a, char b) { return FoldedByte(a) < FoldedByte(b); });
}

}  // namespace

int FindPrefixFrom(int count, int startAfter, const std::function<bool(int)>& beginsWithPrefix) {
    const int start = startAfter >= 0 && startAfter < count ? startAfter : -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (beginsWithPrefix(i)) return i;
    }
    return kNoEntry;
}

bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return FoldedByte(a) == FoldedByte(b); });
}

ChoiceList::ChoiceList(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) AddString(entry);
}

void ChoiceList::ResetContent() {
    entries_.clear();
    selected_ = kNoEntry;
}

int ChoiceList::AddString(std::string_view text) {
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& entry) { return SortsAfter(entry.text, text); });
    const int index = int(at - entries_.begin());
    entries_.insert(at, Entry{std::string(text)});
    if (selected_ >= index) ++selected_;
    return index;
}

int ChoiceList::DeleteString(int index) {
    if (index < 0 || index >= GetCount()) return kNoEntry;
    entries_.erase(entries_.begin() + index);
    if (selected_ == index)
        selected_ = kNoEntry;
    else if (selected_ > index)
        --selected_;
    return GetCount();
}

int ChoiceList::SetCurSel(int index) {
    selected_ = index >= 0 && index < GetCount() ? index : kNoEntry;
    if (selected_ != kNoEntry) editText_ = entries_[size_t(selected_)].text;
    return selected_ == index ? index : kNoEntry;
}

int ChoiceList::SetItemData(int index, intptr_t data) {
    if (index < 0 || index >= GetCount()) return kNoEntry;
    entries_[size_t(index)].data = data;
    return 0;
}

intptr_t ChoiceList::GetItemData(int index) const {
    return index >= 0 && index < GetCount() ? entries_[size_t(index)].data : kNoEntry;
}

int ChoiceList::SelectString(int startAfter, std::string_view text) {
    const int found = FindPrefixFrom(GetCount(), startAfter, [&](int i) {
        return BeginsWithIgnoringCase(entries_[size_t(i)].text, text);
    });
    if (found != kNoEntry) SetCurSel(found);
    return found;
}

std::string ChoiceList::GetLBText(int index) const {
    return index >= 0 && index < GetCount() ? entries_[size_t(index)].text : std::string();
}

}  // namespace quellhart::ui
