// The editor's dialog templates, string table and the class and race lists of the
// Player Data page, as data.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "res/DialogTemplate.h"

namespace quellhart::res {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDD_GLOBALS_PAGE = 134;
inline constexpr int IDD_PLAYER_PAGE = 135;
inline constexpr int IDD_WAIT = 137;
inline constexpr int IDD_VERSIONS = 138;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDI_MAINFRAME = 128;
inline constexpr int IDB_PICTURE = 132;
inline constexpr unsigned IDM_ABOUTBOX = 16;

const DialogTemplate& AboutTemplate();
const DialogTemplate& MainTemplate();
const DialogTemplate& GlobalsPageTemplate();
const DialogTemplate& PlayerPageTemplate();
const DialogTemplate& WaitTemplate();
const DialogTemplate& VersionsTemplate();
// Every template of the program: the dialog units are chosen so that all of their
// texts fit.
const std::vector<const DialogTemplate*>& ProgramDialogTemplates();

// The caption of control `id`: the text of the label that names it ("" if none).
std::string CaptionOf(const DialogTemplate& dialog, int id);

// The string table, and one of its strings (empty for an id it does not hold).
std::map<int, std::string>& StringTable();
std::string LoadString(int id);

// The Player Data page's initial lists, in the order they are added.
const std::vector<std::string>& InitialRaces();
const std::vector<std::string>& InitialClasses();

}  // namespace quellhart::res
