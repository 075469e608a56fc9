// The folders and the load-message log that every loader shares.
#pragma once

#include <string>
#include <string_view>

namespace dexlora {

// The chosen skin folder, always ending in '/'. Every skin file name is
// joined to it with nothing in between.
extern std::string SkinPath;
// The program's folder followed by "system/".
extern std::string SystemPath;

// Load messages collected during a run, each followed by CR LF; handed to the
// error window at shutdown and never shown.
extern std::string ErrLog;
void AppendErrLog(std::string_view message);

}  // namespace dexlora
