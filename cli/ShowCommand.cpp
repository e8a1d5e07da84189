#include <iostream>

#include "Commands.h"
#include "SaveReport.h"

namespace quellhart::cli {

bool OpenAndLoad(CSaveGame& save, const std::string& file, Console& console) {
    if (save.Open(file) && save.Load()) return true;
    console.err << save.GetErrorText() << "\n";
    return false;
}

int RunShow(const Request& request, Console& console) {
    const std::string& file = request.files[0];
    CSaveGame save;
    if (!OpenAndLoad(save, file, console)) return kExitError;
    console.out << (request.json ? ShowAsJson(save, file) : ShowAsText(save, file));
    return kExitOk;
}

}  // namespace quellhart::cli
