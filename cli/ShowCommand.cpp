#include <iostream>

#include "Commands.h"
#include "SaveReport.h"

namespace quellhart::cli {

int RunShow(const Request& request, Console& console) {
    const std::string& file = request.files[0];
    CSaveGame save;
    if (!save.Open(file) || !save.Load()) {
        console.err << save.GetErrorText() << "\n";
        return kExitError;
    }
    console.out << (request.json ? ShowAsJson(save, file) : ShowAsText(save, file));
    return kExitOk;
}

}  // namespace quellhart::cli
