// The folders and the load-message log that every loader shares.
#include "settings/shared.h"

namespace dexlora {

std::string SkinPath;
std::string SystemPath;
std::string ErrLog;

void AppendErrLog(std::string_view message) {
    ErrLog += message;
    ErrLog += "\r\n";
}

}  // namespace dexlora
