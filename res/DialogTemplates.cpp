#include "res/DialogTemplates.h"

#include "res/ControlIds.h"
#include "res/QuellhartVersion.h"

namespace quellhart::res {

namespace {

// Every dialog is drawn in the template's font.
constexpr uint32_t kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr uint32_t kMainStyle = kAboutStyle | WS_VISIBLE;
constexpr uint32_t kWaitStyle =
    WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFOREGROUND | DS_3DLOOK | DS_SETFONT;
constexpr uint32_t kPageStyle = WS_CHILD | WS_CAPTION | DS_SETFONT;

}  // namespace

const DialogTemplate& AboutTemplate() {
    static const DialogTemplate t{
        IDD_ABOUTBOX,
        "About Quellhart Savegame Editor",
        0,
        0,
        272,
        52,
        {
            {-1, ControlKind::Icon, "128", 11, 17, 20, 20, SS_ICON},
            {-1, ControlKind::Static, "Quellhart SaveGame Editor 2.1", 50, 10, 155, 8,
             SS_NOPREFIX | WS_GROUP},
            {-1, ControlKind::Static, version::kAuthorLine, 50, 25, 119, 8, WS_GROUP},
            {IDC_ABOUT_OK, ControlKind::Button, "Aceptar", 215, 5, 50, 14,
             BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
        },
        kAboutStyle};
    return t;
}

const DialogTemplate& MainTemplate() {
    static const DialogTemplate t{
        IDD_MAIN,
        "Quellhart Savegame Editor 2.1",
        0,
        0,
        442,
        268,
        {
            {-1, ControlKind::Static, "Active File:", 190, 237, 60, 10, SS_CENTER | WS_GROUP,
             IDC_ACTIVE_FILE},
            // A long path loses its middle, never the file's own name; the whole path
            // is its tooltip, which needs the mouse (SS_NOTIFY).
            {IDC_ACTIVE_FILE, ControlKind::Static, "", 7, 247, 425, 15,
             SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_PATHELLIPSIS | SS_NOTIFY | WS_BORDER |
                 WS_GROUP},
            {IDC_DISK_STATUS, ControlKind::Static, "", 140, 226, 292, 10,
             SS_RIGHT | SS_NOPREFIX | WS_GROUP},
            {IDC_OPEN_FILE, ControlKind::Button, "OpenFile", 324, 21, 80, 20, WS_TABSTOP},
            {-1, ControlKind::Bitmap, "132", 306, 86, 117, 134, SS_BITMAP},
            {ID_HELP, ControlKind::Button, "Help", 382, 89, 38, 14, WS_TABSTOP, 0,
             WS_EX_CLIENTEDGE},
            {IDC_COMMIT_CHANGES, ControlKind::Button, "CommitChanges", 324, 46, 80, 20,
             WS_TABSTOP | WS_DISABLED},
        },
        kMainStyle,
        WS_EX_APPWINDOW};
    return t;
}

const DialogTemplate& WaitTemplate() {
    static const DialogTemplate t{
        IDD_WAIT,
        "",
        100,
        100,
        186,
        73,
        {
            {-1, ControlKind::Static, "Now generating the new file", 22, 23, 135, 10,
             SS_CENTER | WS_GROUP},
            {-1, ControlKind::Static, "Please Wait", 22, 38, 135, 10, SS_CENTER | WS_GROUP},
        },
        kWaitStyle};
    return t;
}

// The save's earlier versions: a list of them, what changed from the chosen one to the
// next, and the button that puts it back.
const DialogTemplate& VersionsTemplate() {
    static const DialogTemplate t{
        IDD_VERSIONS,
        "Versions",
        0,
        0,
        300,
        156,
        {
            {-1, ControlKind::Static, "Earlier versions, oldest first:", 7, 7, 220, 9, WS_GROUP,
             IDC_VERSION_LIST},
            {IDC_VERSION_LIST, ControlKind::ComboBox, "", 7, 18, 286, 120,
             CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
            {-1, ControlKind::Static, "Changed in the next version:", 7, 38, 220, 9, WS_GROUP,
             IDC_VERSION_CHANGES},
            {IDC_VERSION_CHANGES, ControlKind::Static, "", 7, 49, 286, 78,
             WS_BORDER | SS_NOPREFIX | WS_GROUP},
            {IDC_VERSION_RESTORE, ControlKind::Button, "Restore", 179, 135, 54, 14,
             BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED},
            {IDC_VERSION_CLOSE, ControlKind::Button, "Close", 239, 135, 54, 14, WS_TABSTOP},
        },
        kAboutStyle};
    return t;
}

const DialogTemplate& GlobalsPageTemplate() {
    constexpr uint32_t kReadOnly = ES_READONLY | WS_BORDER | ES_AUTOHSCROLL;
    static const DialogTemplate t{
        IDD_GLOBALS_PAGE,
        "Global Variables",
        0,
        0,
        272,
        207,
        {
            {-1, ControlKind::Static, "Number of variables found:", 28, 9, 90, 10, 0,
             IDC_GLOB_COUNT},
            {IDC_GLOB_COUNT, ControlKind::Static, "", 123, 6, 40, 15,
             SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_BORDER},
            {IDC_GLOB_LIST, ControlKind::ComboBox, "", 82, 27, 125, 128,
             CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP | WS_DISABLED},
            {-1, ControlKind::Static, "char unk1[12]", 18, 80, 47, 8, 0, IDC_GLOB_UNK1},
            {-1, ControlKind::Static, "NameLen (dec)", 18, 94, 71, 8, 0, IDC_GLOB_NAME_LEN},
            {-1, ControlKind::Static, "Name", 18, 110, 71, 8, 0, IDC_GLOB_NAME},
            {-1, ControlKind::Static, "fnamLen (dec)", 18, 125, 71, 8, 0, IDC_GLOB_FNAM_LEN},
            {-1, ControlKind::Static, "fnam (hex)", 18, 139, 71, 8, 0, IDC_GLOB_FNAM},
            {IDC_GLOB_VALUE_CAPTION, ControlKind::Static, "Value (float)", 18, 187, 71, 8, 0,
             IDC_GLOB_VALUE},
            {IDC_GLOB_FNAM, ControlKind::Edit, "", 100, 137, 90, 12, kReadOnly},
            {IDC_GLOB_FNAM_LEN, ControlKind::Edit, "", 100, 123, 90, 12, kReadOnly},
            {IDC_GLOB_NAME, ControlKind::Edit, "", 100, 107, 90, 12, kReadOnly},
            {IDC_GLOB_UNK1, ControlKind::Edit, "", 80, 78, 130, 12, kReadOnly | ES_CENTER},
            {IDC_GLOB_NAME_LEN, ControlKind::Edit, "", 100, 93, 90, 12, kReadOnly},
            {IDC_GLOB_VALUE, ControlKind::Edit, "", 100, 185, 90, 12,
             WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
            {-1, ControlKind::Static, "SelectVar", 29, 30, 40, 10, 0, IDC_GLOB_LIST},
            {IDC_GLOB_VALUE_LEN, ControlKind::Edit, "", 100, 153, 90, 12, kReadOnly | ES_NUMBER},
            {-1, ControlKind::Static, "Value Len (dec)", 18, 155, 71, 8, 0, IDC_GLOB_VALUE_LEN},
            {-1, ControlKind::GroupBox, "GLOB Data", 10, 62, 250, 140},
            {-1, ControlKind::Static, "GLOB raw address in file:", 16, 48, 85, 10, 0,
             IDC_GLOB_RAW_ADDRESS},
            {IDC_GLOB_RAW_ADDRESS, ControlKind::Static, "Raw Address", 108, 45, 99, 15,
             SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_BORDER},
            {IDC_GLOB_VALUE_RAW, ControlKind::Edit, "", 100, 169, 90, 12, kReadOnly},
            {-1, ControlKind::Static, "Value (Raw)", 18, 171, 71, 8, 0, IDC_GLOB_VALUE_RAW},
            {IDC_CONFIRM_CHANGE, ControlKind::Button, "Confirm Change", 195, 184, 60, 15,
             BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED},
        },
        kPageStyle};
    return t;
}

const DialogTemplate& PlayerPageTemplate() {
    constexpr uint32_t kTextField = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    constexpr uint32_t kList =
        CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_SORT | WS_VSCROLL | WS_TABSTOP | WS_DISABLED;
    static const DialogTemplate t{
        IDD_PLAYER_PAGE,
        "Player Data",
        0,
        0,
        272,
        207,
        {
            {-1, ControlKind::GroupBox, "Player Data", 15, 15, 230, 160},
            {IDC_PLAYER_NAME, ControlKind::Edit, "", 94, 70, 131, 12, kTextField},
            {-1, ControlKind::Static, "Name", 40, 71, 50, 10, 0, IDC_PLAYER_NAME},
            {-1, ControlKind::Static, "Class", 40, 100, 50, 10, 0, IDC_PLAYER_CLASS},
            {-1, ControlKind::Static, "Race", 40, 86, 50, 10, 0, IDC_PLAYER_RACE},
            {-1, ControlKind::Static, "Player Data Raw Address:", 40, 49, 85, 10, 0,
             IDC_PLAYER_RAW_ADDRESS},
            {IDC_PLAYER_RAW_ADDRESS, ControlKind::Static, "", 130, 46, 95, 15,
             SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_BORDER},
            {IDC_PLAYER_RACE, ControlKind::ComboBox, "", 94, 84, 131, 96, kList},
            {IDC_PLAYER_CLASS, ControlKind::ComboBox, "", 94, 99, 131, 86, kList},
            {IDC_PLAYER_HEAD, ControlKind::Edit, "", 94, 115, 131, 12, kTextField},
            {-1, ControlKind::Static, "Head Model", 40, 116, 50, 10, 0, IDC_PLAYER_HEAD},
            {IDC_PLAYER_HAIR, ControlKind::Edit, "", 94, 130, 131, 12, kTextField},
            {-1, ControlKind::Static, "Hair Model", 40, 131, 50, 10, 0, IDC_PLAYER_HAIR},
        },
        kPageStyle};
    static const DialogTemplate withLists = [] {
        DialogTemplate full = t;
        for (const std::string& race : InitialRaces())
            full.listInit.push_back({IDC_PLAYER_RACE, race});
        for (const std::string& cls : InitialClasses())
            full.listInit.push_back({IDC_PLAYER_CLASS, cls});
        return full;
    }();
    return withLists;
}

const std::vector<const DialogTemplate*>& ProgramDialogTemplates() {
    static const std::vector<const DialogTemplate*> all = {
        &AboutTemplate(),       &MainTemplate(),       &WaitTemplate(),
        &GlobalsPageTemplate(), &PlayerPageTemplate(), &VersionsTemplate()};
    return all;
}

std::map<int, std::string>& StringTable() {
    static std::map<int, std::string> table = {{IDS_ABOUTBOX, "&Acerca de Quellhart_Editor..."}};
    return table;
}

std::string CaptionOf(const DialogTemplate& dialog, int id) {
    for (const ControlTemplate& control : dialog.controls)
        if (control.labelFor == id) return control.text;
    return {};
}

std::string LoadString(int id) {
    const auto it = StringTable().find(id);
    return it == StringTable().end() ? std::string() : it->second;
}

const std::vector<std::string>& InitialRaces() {
    static const std::vector<std::string> races = {"Argonian", "Breton",  "Dark Elf", "High Elf",
                                                   "Imperial", "Khajiit", "Nord",     "Orc",
                                                   "Redguard", "Wood Elf"};
    return races;
}

const std::vector<std::string>& InitialClasses() {
    static const std::vector<std::string> classes = {
        "Witchhunter", "Warrior", "Thief",      "Spellsword", "Sorcerer", "Scout",
        "Rogue",       "Pilgrim", "Nightblade", "Monk",       "Mage",     "Knight",
        "Healer",      "Custom",  "Crusader",   "Battlemage", "Bard",     "Barbarian",
        "Assassin",    "Archer",  "Agent",      "Acrobat"};
    return classes;
}

}  // namespace quellhart::res
