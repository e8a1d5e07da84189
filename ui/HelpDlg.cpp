#include "ui/HelpDlg.h"

#include <utility>

#include "codepage/CodePage.h"
#include "res/HelpText.h"
#include "res/Messages.h"
#include "ui/model/EditorKeys.h"

namespace quellhart::ui {

std::string CHelpDlg::Html() {
    std::string keys = "<table>";
    for (const EditorKey& key : kEditorKeys)
        keys += std::string("<tr><td><b>") + key.keys + "</b>&nbsp;&nbsp;</td><td>" +
                key.description + "</td></tr>";
    keys += "</table>";
    std::string html = res::kHelpHtml;
    for (const auto& [placeholder, text] : {std::pair<std::string, std::string>{"%KEYS%", keys},
                                            {"%CODEPAGE%", SaveTextCodePageDescription()}})
        if (const size_t at = html.find(placeholder); at != std::string::npos)
            html.replace(at, placeholder.size(), text);
    return html;
}

CHelpDlg::CHelpDlg(WindowHandle owner, std::function<void()> onAbout,
                   std::function<void()> onRestore, std::function<void()> onVersions,
                   std::function<void()> onReload)
    : HelpWindow(owner, messages::kHelpCaption, Html(),
                 {{messages::kHelpAbout, std::move(onAbout)},
                  {messages::kHelpRestore, std::move(onRestore)},
                  {messages::kHelpVersions, std::move(onVersions)},
                  {messages::kHelpReload, std::move(onReload)}}) {}

}  // namespace quellhart::ui
