// The command line: --help and the player's options for one run.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>

namespace dexlora {

// Reads the arguments after the program name. --help prints the usage and
// every player option to out; "--NAME=VALUE" gives option NAME a value for
// this run, "--NAME" and "--no-NAME" turn a switch on and off. Answers the
// exit status when the program should stop here (0 after --help, 2 after
// an argument it does not know, with a message on err), else nothing.
std::optional<int> ReadCommandLine(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace dexlora
