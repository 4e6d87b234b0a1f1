// dungeontool.h -- the commands of vesk-dungeon, one file each
#pragma once

#include <string>
#include <vector>

namespace dungeontool {
// Each takes the arguments after the command name and returns the exit status.
int cmd_check(const std::vector<std::string>& args);
int cmd_dump(const std::vector<std::string>& args);
int cmd_build(const std::vector<std::string>& args);
int cmd_map(const std::vector<std::string>& args);
int cmd_icon(const std::vector<std::string>& args);
}  // namespace dungeontool
