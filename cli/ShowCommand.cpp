#include <iostream>

#include "cli/Commands.h"
#include "cli/ErrorLines.h"
#include "cli/SaveReport.h"

namespace quellhart::cli {

bool OpenAndLoad(CSaveGame& save, const std::string& file, Console& console, OpenFor purpose) {
    const bool opened = purpose == OpenFor::kEditing ? save.Open(file) : save.OpenReadOnly(file);
    if (opened && save.Load()) {
        if (!save.GetOpenNote().text.empty()) console.err << ErrorLines(save.GetOpenNote());
        return true;
    }
    console.err << ErrorLines(save.GetError());
    return false;
}

int RunShow(const Request& request, Console& console) {
    const std::string& file = request.files[0];
    CSaveGame save(console.files);
    if (!OpenAndLoad(save, file, console, OpenFor::kReading)) return kExitError;
    console.out << (request.json ? ShowAsJson(save, file) : ShowAsText(save, file));
    return kExitOk;
}

}  // namespace quellhart::cli
