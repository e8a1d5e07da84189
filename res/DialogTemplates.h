// The editor's dialog templates, string table and the class and race lists of the
// Player Data page, as data.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/DialogTemplate.h"

namespace quellhart::res {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDD_GLOBALS_PAGE = 134;
inline constexpr int IDD_PLAYER_PAGE = 135;
inline constexpr int IDD_WAIT = 137;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr unsigned IDM_ABOUTBOX = 16;

const ui::DialogTemplate& AboutTemplate();
const ui::DialogTemplate& MainTemplate();
const ui::DialogTemplate& GlobalsPageTemplate();
const ui::DialogTemplate& PlayerPageTemplate();
const ui::DialogTemplate& WaitTemplate();

// The string table, and one of its strings (empty for an id it does not hold).
std::map<int, std::string>& StringTable();
std::string LoadString(int id);

// The Player Data page's initial lists, in the order they are added.
const std::vector<std::string>& InitialRaces();
const std::vector<std::string>& InitialClasses();

}  // namespace quellhart::res
