// The main window: owns the one open save document, hosts the two pages, and
// carries the two actions that touch files, "OpenFile" and "CommitChanges".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "savefile/SaveGame.h"
#include "ui/HelpDlg.h"
#include "ui/MyPSheet.h"
#include "ui/PSDlgGLOB.h"
#include "ui/PSDlgPlayerData.h"
#include "ui/VersionsDlg.h"
#include "ui/model/PendingEdits.h"
#include "ui/platform/CDialog.h"
#include "ui/platform/FileWatcher.h"
#include "ui/platform/MessageMap.h"

namespace quellhart::test {
class MainDlgProbe;
}

namespace quellhart::ui {

class CMainDlg : public CDialog {
public:
    // `files`: where saves are read and written (the system's; a test's own).
    explicit CMainDlg(WindowHandle parent = nullptr, FileSystem& files = SystemFileSystem());
    ~CMainDlg() override;

    BOOL OnInitDialog() override;
    BOOL OnCommand(int id, int code) override;
    void OnSysCommand(unsigned id, intptr_t lParam) override;
    void OnDestroy() override;

    void OnOpenFile();
    void OnCommitChanges();

    // Opens `path` exactly as if it had been chosen in "OpenFile": a file given on the
    // command line, or dropped on the window.
    void OpenFileFromOutside(const std::string& path);
    // The file to open once the window is up.
    void OpenAtStart(std::string path) { m_startFile = std::move(path); }
    // The help window, and what its "Restore backup..." does: swaps the save and its
    // backup, after a question, and loads the save again.
    void ShowHelp();
    void OnRestoreBackup();
    // What the help window's "Versions..." does: lists the save's earlier versions,
    // and puts back the one chosen, after a question, and loads the save again.
    void OnVersions();
    // What the help window's "Reload" does: loads the save again from disk, carrying
    // the edits not yet committed over to it after a question.
    void OnReload();
    WindowHandle HelpWindow() const;
    // A notice of the watcher: the save on disk may have changed. Unless something is
    // asked or written just now (then once that ends), a save the game wrote is loaded
    // again when no edit is pending, and otherwise only said.
    void OnSaveMayHaveChanged();

protected:
    void DoDataExchange(CDataExchange* exchange) override;

private:
    friend class test::MainDlgProbe;  // the tests look at what the window holds

    void DetachPages();
    void DestroyDocument();
    // Clears the file label and lets go of the document, before another is opened.
    void CloseDocument();
    void InstallKeysAndDrops();
    // An empty document that keeps the versions this window keeps.
    std::unique_ptr<CSaveGame> NewDocument() const;
    // Opens and loads m_path into a new document and shows it; on failure reports the
    // document's error (when `sayFailure`) and leaves the window without one.
    bool LoadDocument(bool sayFailure = true);
    // After a commit, a save that does not load yet (the game writing it): the pages
    // empty, and the save loaded by the watcher's notices once it loads whole; after
    // too many looks, the error as any open says it.
    void AwaitReload();
    void LookForReload();
    void ShowError();
    static void ShowError(WindowHandle owner, const SaveError& error);
    // The first player text field holding a character the save's code page cannot
    // hold, or 0 when all can be stored.
    // The first player field holding a character the save cannot store (0 for none),
    // and that character.
    std::pair<int, std::string> UnstorablePlayerText() const;
    PlayerRecord RecordFromPlayerPage() const;
    // Whether a save is open (its path known); otherwise says `otherwise` in a box.
    bool HasSaveElseSay(WindowHandle owner, const char* otherwise);
    // Lets go of the document, runs `putBack` (a restore, which fills the error or
    // what "Done" is followed by), says "Done" with `done` or the error, and loads the
    // save again.
    void PutBackAndReload(WindowHandle owner, const char* done,
                          const std::function<bool(SaveError& error, SaveError& note)>& putBack);
    // The three actions' own work, while notices of the watcher wait.
    void CommitAsked();
    void RestoreBackupAsked();
    void VersionsAsked();
    // Writes the edits under the wait box; false with the document's error.
    bool CommitUnderWaitBox();
    PendingEdits EditsNotCommitted() const;
    // The save loaded afresh from m_path, or none, with its error said when `sayWhy`.
    std::unique_ptr<CSaveGame> LoadNewerSave(bool sayWhy);
    // Shows `newer` in place of the document, keeping the page, the chosen variable and
    // the keyboard where they are; `edits` are carried over to it.
    void ShowNewerSave(std::unique_ptr<CSaveGame> newer, const PendingEdits& edits = {});
    // Asks whether the edits go to the newer save, listing what the game changed too;
    // then carries them over. False when the user said No or the save does not load.
    bool CarryEditsToNewerSave(WindowHandle owner);
    void SayDiskStatus(const char* text);
    // Runs `task` with notices of the watcher held back until it ends.
    void WhileBusy(const std::function<void()>& task);

    FileSystem& m_files;
    CButton m_commitButton;
    CStatic m_activeFileLabel;
    IconHandle m_hIcon;
    std::string m_path;
    // "Open as read-only" was ticked: the save is read and nothing beside it touched,
    // and CommitChanges writes nothing.
    bool m_readOnly = false;
    // How many earlier versions a commit or restore keeps: read once, as the window
    // opens, from QUELLHART_HISTORY_KEEP.
    const int m_historyKeep;
    std::string m_startFile;
    // A commit runs on a thread of its own while the windows stay painted.
    bool m_committing = false;
    std::unique_ptr<CHelpDlg> m_help;
    CVersionsDlg* m_versions = nullptr;  // while the versions are listed
    std::unique_ptr<CSaveGame> m_document;
    CStatic m_diskStatus;
    FileWatcher m_watcher;
    // What the document held as loaded: what the edits are told apart from.
    LoadedValues m_loaded;
    // The save on disk is newer than the document, which holds edits: the next commit
    // asks to carry them over.
    bool m_changedOnDisk = false;
    int m_busy = 0;  // something is asked or written; notices wait
    bool m_lookWhenIdle = false;
    bool m_awaitingReload = false;
    int m_looksAtUnloadable = 0;  // a newer save found mid-write, looked at again
    CMyPSheet m_sheet;
    CPSDlgGLOB m_globPage;
    CPSDlgPlayerData m_playerPage;

    static const MessageMap<CMainDlg> kMessageMap;
};

}  // namespace quellhart::ui
