// What carrying typed edits over to the game's newer save costs, against what a
// commit costs today: the edits made on one load of a save, the game then saving
// (another file renamed over it), and the newer save loaded, the edits applied by name
// and committed; against a load and a commit of the same edits. Medians of ROUNDS.
//   apply-to-newer SAVE [ROUNDS]   (SAVE made by make-bench-save, in the folder used)
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

#include "ui/model/PendingEdits.h"

using namespace quellhart;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The edits a player makes: the name typed, one value confirmed.
ui::PendingEdits PlayersEdits(const CSaveGame& save) {
    ui::PendingEdits edits;
    edits.texts.push_back({0, "Wanderer", std::string(save.Player()[PlayerRecord::FNAM].Text())});
    edits.values.push_back({std::string(save.Glob(500).NameText()), 42.0f, save.Glob(500).value});
    return edits;
}

bool LoadAndCommit(const std::string& path, const ui::PendingEdits* edits) {
    CSaveGame save;
    if (!save.Open(path) || !save.Load()) return false;
    ui::ApplyEdits(edits ? *edits : PlayersEdits(save), save);
    return save.Commit();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: apply-to-newer SAVE [ROUNDS]\n";
        return 2;
    }
    const fs::path original = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const fs::path save = original.parent_path() / "apply.ess";
    std::vector<double> today, carried;
    for (int round = 0; round < rounds; ++round) {
        fs::copy_file(original, save, fs::copy_options::overwrite_existing);
        auto start = Clock::now();
        if (!LoadAndCommit(save.string(), nullptr)) return 1;
        today.push_back(Milliseconds(Clock::now() - start));

        fs::copy_file(original, save, fs::copy_options::overwrite_existing);
        CSaveGame shown;  // the edits were made on this load
        if (!shown.Open(save.string()) || !shown.Load()) return 1;
        const ui::PendingEdits edits = PlayersEdits(shown);
        fs::copy_file(original, save.string() + ".tmp", fs::copy_options::overwrite_existing);
        fs::rename(save.string() + ".tmp", save);  // the game saves
        start = Clock::now();
        if (!LoadAndCommit(save.string(), &edits)) return 1;
        carried.push_back(Milliseconds(Clock::now() - start));
    }
    for (auto* times : {&today, &carried}) std::sort(times->begin(), times->end());
    std::cout << "| " << fs::file_size(original) / (1 << 20) << " MiB | load + commit "
              << today[today.size() / 2] << " ms | newer save loaded, edits applied, commit "
              << carried[carried.size() / 2] << " ms |\n";
    for (const char* extension : {".ess", ".bak"})
        fs::remove(fs::path(save).replace_extension(extension));
    fs::remove_all(fs::path(save).replace_extension(".history"));
    return 0;
}
