#pragma once
// The wall's own options, orvalis.conf: a key file read from every folder of
// $XDG_CONFIG_DIRS (/etc/xdg/orvalis/orvalis.conf by default), then from
// $XDG_CONFIG_HOME/orvalis/, a later file's key winning over an earlier one's. Each
// concern (MQTT, the dark hours) judges the values of its own group; this only finds
// the files and merges them. The 17-line settings file is another matter.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace options {

struct WallOptions {
    std::map<std::string, std::map<std::string, std::string>> groups;  // group -> key -> value, escapes undone
    std::vector<std::string> complaints;                               // one line each, for standard error
    // The keys of one group; empty when no file has it.
    const std::map<std::string, std::string>& group(const std::string& name) const;
};

// The files that may hold the options, the one that wins last: the system folders
// in reverse order of importance, then the user's.
std::vector<std::filesystem::path> option_files();

// Every group as the files give it together, read once at start. A file that is missing
// adds nothing; one that cannot be read or parsed adds nothing and one complaint.
WallOptions read_wall_options(const std::vector<std::filesystem::path>& files);
inline WallOptions read_wall_options() { return read_wall_options(option_files()); }

}  // namespace options
