#include "ui/EditorApp.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include "ui/MainDlg.h"

namespace quellhart::ui {

const MessageMap<CEditorApp> CEditorApp::kMessageMap = {
    {ID_HELP, BN_CLICKED, &CEditorApp::OnHelp},
};

CEditorApp::CEditorApp() : CWinApp(nullptr) {}

BOOL CEditorApp::OnCmdMsg(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CWinApp::OnCmdMsg(id, code);
}

// The help command shows the editor's help window beside its main window.
void CEditorApp::OnHelp() {
    if (auto* main = dynamic_cast<CMainDlg*>(m_pMainWnd))
        main->ShowHelp();
    else
        CWinApp::OnHelp();
}

// quellhart-editor [FILE]: a file given opens as if chosen in "OpenFile".
std::optional<std::string> CEditorApp::FileToOpen(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Edit a Quellhart saved game."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("the save to open"),
                                 QStringLiteral("[FILE]"));
    parser.process(arguments);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) return std::nullopt;
    return QFile::encodeName(files.front()).toStdString();
}

// The application has done its work when the main window has closed.
BOOL CEditorApp::InitInstance() {
    CMainDlg dialog(nullptr);
    if (const auto file = FileToOpen(QCoreApplication::arguments())) dialog.OpenAtStart(*file);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

}  // namespace quellhart::ui
