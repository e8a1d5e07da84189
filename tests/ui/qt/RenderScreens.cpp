// Renders the editor's windows to PNG files: the main window with a generated save
// loaded on each page, the help window, the About box, the wait box and the versions
// window.
//   render-screens OUTPUT_FOLDER
#include <QApplication>
#include <QDialog>
#include <QTabWidget>
#include <chrono>
#include <filesystem>

#include "res/ControlIds.h"
#include "tests/support/SaveBuilder.h"
#include "tests/ui/MainDlgProbe.h"
#include "tests/ui/ScriptedPrompts.h"
#include "tests/ui/qt/QtWidgets.h"
#include "ui/AboutDlg.h"
#include "ui/MainDlg.h"
#include "ui/VersionsDlg.h"
#include "ui/WaitDlg.h"
#include "ui/platform/Prompts.h"

using namespace quellhart;
using namespace quellhart::test;

namespace {

bool Save(QWidget* window, const QString& path) {
    QApplication::processEvents();
    return window->grab().save(path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    const QString folder = argv[1];
    const std::string savePath = (std::filesystem::path(argv[1]) / "Quicksave.ess").string();
    test::PlayerTexts texts;
    texts.name = "Ysolde Varn";
    texts.race = "Breton";
    texts.cls = "Spellsword";
    test::SaveBuilder save;
    save.Header().Glob("Day", 17).Glob("Month", 7).Glob("Year", 427).Glob("GameHour", 13.25f);
    save.Glob("PCRace", 3).Glob("TimeScale", 30).Filler(4000).Player(texts).Filler(2000);
    save.WriteTo(savePath);

    auto prompts = std::make_unique<ui::ScriptedPrompts>();
    prompts->fileAnswers.push_back(savePath);
    ui::InstallPrompts(std::move(prompts));

    ui::CMainDlg main;
    main.Create();
    main.OnOpenFile();
    bool saved = Save(DialogOf(main), folder + "/main-window.png");
    Tabs(Held(main).Sheet())->setCurrentIndex(1);
    saved &= Save(DialogOf(main), folder + "/main-window-globals.png");

    main.ShowHelp();
    saved &= Save(HelpDialog(main), folder + "/help-window.png");

    ui::CAboutDlg about;
    about.Create();
    saved &= Save(DialogOf(about), folder + "/about-box.png");
    ui::CWaitDlg wait;
    wait.Create();
    saved &= Save(DialogOf(wait), folder + "/wait-box.png");

    // Three commits, a minute apart, for the versions window.
    main.DestroyWindow();
    for (const auto& [name, day] :
         {std::pair{"Ysolde", 18.0f}, {"Ysolde Varn", 19.0f}, {"Ysolde Varn", 20.0f}}) {
        CSaveGame doc;
        if (!doc.Open(savePath) || !doc.Load()) return 1;
        PlayerRecord record = doc.Player();
        record[PlayerRecord::FNAM] = Subrecord::FromText(name);
        doc.SetPlayerData(record);
        doc.SetGlobValue(0, day);
        if (!doc.Commit()) return 1;
        std::filesystem::last_write_time(
            savePath, std::filesystem::last_write_time(savePath) + std::chrono::minutes(int(day)));
    }
    ui::CVersionsDlg versions(nullptr, savePath, SystemFileSystem());
    versions.Create();
    saved &= Save(DialogOf(versions), folder + "/versions-window.png");
    for (const char* sibling : {"Quicksave.bak", "Quicksave.history"})
        std::filesystem::remove_all(std::filesystem::path(argv[1]) / sibling);
    std::filesystem::remove(savePath);
    return saved ? 0 : 1;
}
