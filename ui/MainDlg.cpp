#include "ui/MainDlg.h"

#include <string>
#include <utility>

#include "codepage/CodePage.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/EditorLimits.h"
#include "res/Messages.h"
#include "savefile/BackupRestore.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "ui/AboutDlg.h"
#include "ui/HelpDlg.h"
#include "ui/WaitDlg.h"
#include "ui/model/CommitSteps.h"
#include "ui/model/EditorKeys.h"
#include "ui/model/PageContents.h"
#include "ui/platform/BackgroundWork.h"
#include "ui/platform/CWinApp.h"
#include "ui/platform/Prompts.h"

namespace quellhart::ui {

const MessageMap<CMainDlg> CMainDlg::kMessageMap = {
    {IDC_OPEN_FILE, BN_CLICKED, &CMainDlg::OnOpenFile},
    {IDC_COMMIT_CHANGES, BN_CLICKED, &CMainDlg::OnCommitChanges},
};

namespace {

constexpr const char* kSaveFilter = "Quellhart save Files (*.ess)|*.ess||";
// How often a save that changed on disk but does not load (the game still writing it,
// slowly) is looked at again before the window says so.
constexpr int kLooksAtUnloadable = 10;
}  // namespace

CMainDlg::CMainDlg(WindowHandle parent, FileSystem& files)
    : CDialog(res::MainTemplate(), parent),
      m_files(files),
      m_hIcon(LoadIcon(res::IDI_MAINFRAME)),
      m_historyKeep(HistoryKeepFromEnvironment()),
      m_watcher([this] { OnSaveMayHaveChanged(); }) {}

CMainDlg::~CMainDlg() {
    // The pages go with the window; they never outlive the document they point at.
    DetachPages();
}

BOOL CMainDlg::OnCommand(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CDialog::OnCommand(id, code);
}

void CMainDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_COMMIT_CHANGES, m_commitButton);
    DDX_Control(exchange, IDC_ACTIVE_FILE, m_activeFileLabel);
    DDX_Control(exchange, IDC_DISK_STATUS, m_diskStatus);
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CMenu* menu = GetSystemMenu(FALSE)) {
        const std::string aboutText = res::LoadString(res::IDS_ABOUTBOX);
        if (!aboutText.empty()) {
            menu->AppendMenu(MF_SEPARATOR);
            menu->AppendMenu(MF_STRING, res::IDM_ABOUTBOX, aboutText);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_document.reset();
    m_sheet.AddPage(&m_playerPage);
    m_sheet.AddPage(&m_globPage);
    m_sheet.Create(this, WS_CHILD | WS_VISIBLE);
    m_sheet.SetActivePage(0);
    InstallKeysAndDrops();
    // A file from the command line opens once the window is up, so that an error
    // about it has the window to stand in front of.
    if (!m_startFile.empty())
        PostTask([this] { OpenFileFromOutside(std::exchange(m_startFile, {})); });
    return TRUE;
}

void CMainDlg::InstallKeysAndDrops() {
    for (const EditorKey& key : kEditorKeys) AddButtonKey(key.keys, key.button);
    DragAcceptFiles([this](const std::string& path) { OpenFileFromOutside(path); });
}

void CMainDlg::OnSysCommand(unsigned id, intptr_t lParam) {
    if ((id & 0xFFF0) == res::IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void CMainDlg::OnDestroy() {
    m_watcher.Watch("");
    WinHelp(0, HELP_QUIT);
    m_help.reset();
    DetachPages();
    DestroyDocument();
}

void CMainDlg::DetachPages() {
    m_globPage.Attach(nullptr);
    m_playerPage.Attach(nullptr);
}

void CMainDlg::DestroyDocument() { m_document.reset(); }

void CMainDlg::ShowError() { ShowError(Window(), m_document->GetError()); }

// The error's text, and its cause beneath it.
void CMainDlg::ShowError(WindowHandle owner, const SaveError& error) {
    AfxMessageBox(owner, error.text, messages::kErrorCaption, MB_OK | MB_ICONEXCLAMATION,
                  error.cause);
}

std::unique_ptr<CSaveGame> CMainDlg::NewDocument() const {
    auto document = std::make_unique<CSaveGame>(m_files);
    document->SetHistoryKeep(m_historyKeep);
    return document;
}

bool CMainDlg::LoadDocument(bool sayFailure) {
    m_document = NewDocument();
    const bool opened = m_readOnly ? m_document->OpenReadOnly(m_path) : m_document->Open(m_path);
    if (!opened || !m_document->Load()) {
        if (sayFailure) ShowError();
        DestroyDocument();
        return false;
    }
    m_loaded = LoadedValues::Of(*m_document);
    m_changedOnDisk = false;
    m_looksAtUnloadable = 0;
    m_diskStatus.SetWindowText("");
    m_watcher.Watch(m_path);
    m_globPage.Attach(m_document.get());
    m_playerPage.Attach(m_document.get());
    m_activeFileLabel.SetWindowTextPath(m_path);
    m_commitButton.EnableWindow(TRUE);
    m_sheet.SetActivePage(0);
    if (const SaveError& note = m_document->GetOpenNote(); !note.text.empty())
        AfxMessageBox(Window(), note.text, messages::kWarningCaption, MB_OK | MB_ICONINFORMATION,
                      note.cause);
    // Nothing the keyboard is on changes: a screen reader is told the save is there.
    m_activeFileLabel.Announce(std::string(messages::kLoaded) + " " +
                                   m_path.substr(m_path.find_last_of("/\\") + 1) + ". " +
                                   res::CaptionOf(res::GlobalsPageTemplate(), IDC_GLOB_COUNT) +
                                   " " + std::to_string(m_document->GlobCount()),
                               AnnounceWhen::kOnceSettled);
    return true;
}

void CMainDlg::CloseDocument() {
    m_watcher.Watch("");
    m_awaitingReload = false;
    m_changedOnDisk = false;
    m_diskStatus.SetWindowText("");
    m_activeFileLabel.SetWindowText("");
    DetachPages();
    DestroyDocument();
    // The page shown empties now, not at its next activation: the save it shows is no
    // longer open, and typing there would go nowhere.
    m_sheet.SetActivePage(m_sheet.GetActiveIndex());
}

void CMainDlg::OnOpenFile() {
    // The dialog first: one that fails to show leaves the save open as it was, and
    // says why; cancelled, the window keeps no save.
    std::string failure;
    const std::optional<ChosenFile> chosen =
        CurrentPrompts().OpenFile(nullptr, {"ess", kSaveFilter}, failure);
    if (!failure.empty()) {
        AfxMessageBox(Window(), messages::kFileDialogFailed, messages::kErrorCaption,
                      MB_OK | MB_ICONEXCLAMATION, failure);
        return;
    }
    CloseDocument();
    if (!chosen) return;
    m_path = chosen->path;
    m_readOnly = chosen->readOnly;
    LoadDocument();
}

void CMainDlg::OpenFileFromOutside(const std::string& path) {
    // A file dropped while a commit runs (the window handles events meanwhile, user
    // input excepted) must not take its document away.
    if (m_committing) return;
    CloseDocument();
    m_path = path;
    m_readOnly = false;
    LoadDocument();
}

void CMainDlg::ShowHelp() {
    if (!m_help)
        // About opened from Help belongs to Help, and Escape there returns to it.
        m_help = std::make_unique<CHelpDlg>(
            Window(), [this] { CAboutDlg(HelpWindow()).DoModal(); }, [this] { OnRestoreBackup(); },
            [this] { OnVersions(); }, [this] { OnReload(); });
    m_help->Show();
}

WindowHandle CMainDlg::HelpWindow() const { return m_help ? m_help->Handle() : nullptr; }

bool CMainDlg::HasSaveElseSay(WindowHandle owner, const char* otherwise) {
    if (!m_path.empty()) return true;
    AfxMessageBox(owner, otherwise, messages::kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CMainDlg::WhileBusy(const std::function<void()>& task) {
    ++m_busy;
    task();
    if (--m_busy == 0 && std::exchange(m_lookWhenIdle, false)) OnSaveMayHaveChanged();
}

void CMainDlg::SayDiskStatus(const char* text) {
    m_diskStatus.SetWindowText(text);
    // Said without taking the keyboard: the player may be in the game.
    if (*text) m_diskStatus.Announce(text);
}

PendingEdits CMainDlg::EditsNotCommitted() const {
    if (!m_document) return {};
    return CollectPendingEdits(*m_document, m_loaded, m_playerPage.ShownAtFill(),
                               m_playerPage.ShownTexts());
}

void CMainDlg::OnSaveMayHaveChanged() {
    if (!m_document && !m_awaitingReload) return;
    if (m_busy || m_committing) {
        m_lookWhenIdle = true;
        return;
    }
    if (m_awaitingReload) {
        LookForReload();
        return;
    }
    if (m_document->SaveLooksAsLoaded()) return;
    // Nothing is loaded under the user's hands: the edits stay, and the next commit
    // asks to carry them over.
    if (!EditsNotCommitted().Empty()) {
        if (!std::exchange(m_changedOnDisk, true)) SayDiskStatus(messages::kChangedSinceEdits);
        return;
    }
    std::unique_ptr<CSaveGame> newer = LoadNewerSave(false);
    // Taken only once it loads whole and stayed as it was while it loaded: a save
    // still being written is looked at again once the folder is quiet.
    if (!newer || !newer->SaveLooksAsLoaded()) {
        if (++m_looksAtUnloadable <= kLooksAtUnloadable)
            m_watcher.LookAgainLater();
        else
            SayDiskStatus(messages::kChangedDoesNotLoad);
        return;
    }
    ShowNewerSave(std::move(newer));
    SayDiskStatus(messages::kReloadedFromDisk);
}

void CMainDlg::AwaitReload() {
    m_awaitingReload = true;
    m_looksAtUnloadable = 0;
    // Nothing of the save before stays on the pages.
    m_globPage.AttachKeepingChoice(nullptr, m_sheet.GetActiveIndex() == 1);
    m_playerPage.FillNow(true);
    m_watcher.Watch(m_path);
    m_watcher.LookAgainLater();
    SayDiskStatus(messages::kWaitingForSave);
}

void CMainDlg::LookForReload() {
    std::unique_ptr<CSaveGame> saved = LoadNewerSave(false);
    if (saved && saved->SaveLooksAsLoaded()) {
        m_awaitingReload = false;
        ShowNewerSave(std::move(saved));
        SayDiskStatus(messages::kReloadedFromDisk);
    } else if (++m_looksAtUnloadable <= kLooksAtUnloadable) {
        m_watcher.LookAgainLater();
    } else {  // it does not load: said as after any open that fails
        m_awaitingReload = false;
        m_diskStatus.SetWindowText("");
        LoadDocument();
    }
}

std::unique_ptr<CSaveGame> CMainDlg::LoadNewerSave(bool sayWhy) {
    std::unique_ptr<CSaveGame> newer = NewDocument();
    const bool opened = m_readOnly ? newer->OpenReadOnly(m_path) : newer->Open(m_path);
    if (opened && newer->Load()) return newer;
    if (sayWhy) ShowError(m_help ? m_help->Handle() : Window(), newer->GetError());
    return nullptr;
}

void CMainDlg::ShowNewerSave(std::unique_ptr<CSaveGame> newer, const PendingEdits& edits) {
    const LoadedValues loaded = LoadedValues::Of(*newer);
    if (!edits.Empty()) ApplyEdits(edits, *newer);
    // The pages let go of the old document before it goes.
    const std::unique_ptr<CSaveGame> old = std::exchange(m_document, std::move(newer));
    m_loaded = loaded;
    m_changedOnDisk = false;
    m_looksAtUnloadable = 0;
    m_globPage.AttachKeepingChoice(m_document.get(), m_sheet.GetActiveIndex() == 1);
    m_playerPage.Attach(m_document.get());
    m_playerPage.FillNow(true);
    // The texts carried over show in their fields, and still count as typed.
    if (!edits.texts.empty()) {
        EditablePlayerTexts shown = *m_playerPage.ShownAtFill();
        for (const PendingEdits::Text& text : edits.texts)
            shown[text.field] = loaded.texts[text.field];
        m_playerPage.TakeAsShownAtFill(shown);
    }
    m_watcher.Watch(m_path);
}

bool CMainDlg::CarryEditsToNewerSave(WindowHandle owner) {
    std::unique_ptr<CSaveGame> newer = LoadNewerSave(true);
    if (!newer) return false;
    const PendingEdits edits = EditsNotCommitted();
    std::string question = messages::kApplyToNewer;
    if (const std::string clashes = ClashLines(ClashesWith(edits, *newer)); !clashes.empty())
        question += "\n\n" + clashes;
    if (AfxMessageBox(owner, question, messages::kConfirmCaption, MB_YESNO | MB_ICONEXCLAMATION) ==
        IDNO)
        return false;
    ShowNewerSave(std::move(newer), edits);
    return true;
}

void CMainDlg::OnReload() {
    const WindowHandle owner = m_help ? m_help->Handle() : Window();
    if (m_committing || !HasSaveElseSay(owner, messages::kNoSaveToReload)) return;
    WhileBusy([&] {
        if (!m_document) {  // a save that did not load before
            LoadDocument();
        } else if (!EditsNotCommitted().Empty()) {
            CarryEditsToNewerSave(owner);
        } else if (std::unique_ptr<CSaveGame> newer = LoadNewerSave(true)) {
            ShowNewerSave(std::move(newer));
            SayDiskStatus(messages::kReloadedFromDisk);
        }
    });
}

void CMainDlg::OnRestoreBackup() {
    WhileBusy([this] { RestoreBackupAsked(); });
}

void CMainDlg::RestoreBackupAsked() {
    const WindowHandle owner = m_help ? m_help->Handle() : Window();
    if (!HasSaveElseSay(owner, messages::kNoSaveToRestore)) return;
    if (!HasBackup(m_path, m_files)) {
        AfxMessageBox(owner, messages::kNoBackup, messages::kWarningCaption,
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AfxMessageBox(owner, messages::kConfirmRestore, messages::kConfirmCaption,
                      MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;
    PutBackAndReload(owner, messages::kRestored, [this](SaveError& error, SaveError& note) {
        return RestoreBackup(m_path, m_historyKeep, error, m_files, &note);
    });
}

void CMainDlg::PutBackAndReload(WindowHandle owner, const char* done,
                                const std::function<bool(SaveError&, SaveError&)>& putBack) {
    // The document lets go of the save before its name changes hands; unsaved edits
    // go with it, as after a commit.
    CloseDocument();
    SaveError error, note;
    if (putBack(error, note)) {
        // The box is read by a screen reader as it appears: said once.
        AfxMessageBox(owner, done, messages::kDoneCaption, MB_OK | MB_ICONINFORMATION,
                      NoteLines(note));
    } else {
        ShowError(owner, error);
    }
    LoadDocument();
}

void CMainDlg::OnVersions() {
    WhileBusy([this] { VersionsAsked(); });
}

void CMainDlg::VersionsAsked() {
    const WindowHandle owner = m_help ? m_help->Handle() : Window();
    if (!HasSaveElseSay(owner, messages::kNoSaveForVersions)) return;
    std::optional<SaveVersion> chosen;
    {
        CVersionsDlg versions(owner, m_path, m_files);
        m_versions = &versions;
        versions.DoModal();
        m_versions = nullptr;
        chosen = versions.Chosen();
    }
    if (!chosen || AfxMessageBox(owner, messages::kConfirmRestoreVersion, messages::kConfirmCaption,
                                 MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;
    PutBackAndReload(owner, messages::kVersionRestored, [&](SaveError& error, SaveError& note) {
        std::string keptAs;
        return RestoreVersion(m_path, *chosen, m_historyKeep, error, keptAs, m_files, &note);
    });
}

PlayerRecord CMainDlg::RecordFromPlayerPage() const {
    return RecordFromShownTexts(m_document->Player(), m_playerPage.ShownTexts());
}

std::pair<int, std::string> CMainDlg::UnstorablePlayerText() const {
    for (int id : kPlayerTextControls) {
        CWnd control;
        control.Attach(m_playerPage.GetDlgItem(id));
        if (std::string character = control.UnstorableCharacter(); !character.empty())
            return {id, std::move(character)};
    }
    return {0, {}};
}

bool CMainDlg::CommitUnderWaitBox() {
    // From here the window handles events again before the commit ends (the wait box
    // is painted, then the commit runs elsewhere): nothing may take the document.
    m_committing = true;
    m_document->SetPlayerData(RecordFromPlayerPage());
    // The wait box stands in front of the window, painted and heard by a screen
    // reader for as long as the commit takes.
    CWaitDlg wait;
    wait.Create(Window());
    bool committed = false;
    RunKeepingWindowsAlive([&] { committed = m_document->Commit(); });
    wait.DestroyWindow();
    m_committing = false;
    return committed;
}

void CMainDlg::OnCommitChanges() {
    WhileBusy([this] { CommitAsked(); });
}

void CMainDlg::CommitAsked() {
    if (!m_document) return;
    if (m_readOnly) {
        AfxMessageBox(Window(), messages::kOpenedReadOnly, messages::kWarningCaption,
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const auto [unstorable, character] = UnstorablePlayerText();
    CommitSteps steps(
        unstorable ? res::CaptionOf(res::PlayerPageTemplate(), unstorable) : "",
        [this] { return HasBackup(m_path, m_files); }, character, m_historyKeep > 0);
    for (CommitSteps::Step step = steps.First(); step.kind != CommitSteps::Kind::kEnd;) {
        switch (step.kind) {
            case CommitSteps::Kind::kShow:
                step = steps.Next(AfxMessageBox(Window(), step.box.text, step.box.caption,
                                                step.box.type, step.box.details));
                break;
            case CommitSteps::Kind::kCommit: {
                // The game saved since the load: the edits go onto its newer save, if
                // the user says so, and the commit goes on against that save.
                if ((m_changedOnDisk || !m_document->SaveLooksAsLoaded()) &&
                    !CarryEditsToNewerSave(Window())) {
                    step = {};
                    break;
                }
                const bool edited = !EditsNotCommitted().Empty();
                // A failure that left the save as loaded keeps the document and every
                // field as the user left them: the cause mended, CommitChanges again.
                // One where the game saved meanwhile keeps them too, for its newer save.
                if (CommitUnderWaitBox()) {
                    step = steps.Committed(nullptr, NoteLines(m_document->GetCommitNote()));
                } else if (m_document->CanCommit()) {
                    step = steps.Refused(m_document->GetError());
                } else if (edited && !m_document->SaveLooksAsLoaded()) {
                    m_changedOnDisk = true;
                    SayDiskStatus(messages::kChangedSinceEdits);
                    step = steps.Refused(m_document->GetError());
                } else {
                    step = steps.Committed(&m_document->GetError());
                }
                break;
            }
            case CommitSteps::Kind::kReload:
                DetachPages();
                DestroyDocument();
                // The game may be writing the save just now: it is loaded once it
                // loads whole.
                if (!LoadDocument(false)) AwaitReload();
                step = steps.Next(IDOK);
                break;
            case CommitSteps::Kind::kEnd:
                break;
        }
    }
    // The keyboard goes to the text that cannot be stored.
    if (unstorable) {
        CWnd control;
        control.Attach(m_playerPage.GetDlgItem(unstorable));
        control.SetFocus();
    }
}

}  // namespace quellhart::ui
