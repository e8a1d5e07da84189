// Windows and controls addressed by handle, with the few operations the editor's
// windows use. A CWnd does not own its window: the dialog that built it does.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/platform/WinTypes.h"

namespace quellhart::ui {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;

    void Attach(WindowHandle window) { hwnd_ = window; }
    // The window, or none when it has been destroyed since.
    WindowHandle GetSafeHwnd() const;
    explicit operator bool() const { return GetSafeHwnd() != nullptr; }

    // Window text as Windows-1252 bytes.
    void SetWindowText(std::string_view text);
    // A file path, in the file system's own encoding rather than Windows-1252.
    void SetWindowTextPath(const std::string& path);
    // At most maxCount - 1 bytes, as read into a buffer of maxCount bytes.
    std::string GetWindowText(int maxCount) const;
    // The first character of the text that the save texts' code page cannot store
    // (GetWindowText gives "?" for it), as UTF-8; empty when every one can.
    std::string UnstorableCharacter() const;
    // An edit field, or a combo box's, takes at most `maxChars` characters.
    void LimitText(int maxChars);
    void SetFocus();
    // What a screen reader says of the control beyond its name and value.
    void SetAccessibleDescription(std::string_view text);
    // Says the UTF-8 `text` to a screen reader once, from this control's window: what a
    // change the user made or caused has done, where no control's own events say it.
    // After a change that refills whole pages, a screen reader drops what comes amid
    // the flood of their events: the text is then said once they have settled, if the
    // window is still there.
    enum class AnnounceWhen { kNow, kOnceSettled };
    void Announce(std::string_view text, AnnounceWhen when = AnnounceWhen::kNow);
    void EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    // Paints the window now, before the program goes on without processing messages.
    void UpdateWindow();
    // Puts a window that has an owner over the middle of it (one without, in the middle
    // of the screen), kept whole on the owner's screen.
    void CenterWindow();

protected:
    WindowHandle hwnd_ = nullptr;
};

class CButton : public CWnd {};
class CStatic : public CWnd {};
class CEdit : public CWnd {
public:
    // Selects the characters from `start` up to `end` (-1: to the end of the text).
    void SetSel(int start, int end);
};

// Binds a member to the control with `id` of the window being built.
class CDataExchange;
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

}  // namespace quellhart::ui
