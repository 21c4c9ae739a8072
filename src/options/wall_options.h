#pragma once
// The wall's own options, orvalis.conf: a key file read from every folder of
// $XDG_CONFIG_DIRS (/etc/xdg/orvalis/orvalis.conf by default), then from
// $XDG_CONFIG_HOME/orvalis/, a later file's key winning over an earlier one's. Each
// concern (MQTT, the dark hours) reads its own group and judges its own values; this
// only finds the files and merges them. The 17-line settings file is another matter.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace options {

struct OptionGroup {
    std::map<std::string, std::string> values;  // key -> value, escapes undone
    std::vector<std::string> complaints;        // one line each, for standard error
};

// The files that may hold the options, the one that wins last: the system folders
// in reverse order of importance, then the user's.
std::vector<std::filesystem::path> option_files();

// group as the files give it together. A file that is missing or lacks the group adds
// nothing; one that cannot be read or parsed adds nothing and one complaint.
OptionGroup read_option_group(const std::vector<std::filesystem::path>& files, const std::string& group);
inline OptionGroup read_option_group(const std::string& group) { return read_option_group(option_files(), group); }

}  // namespace options
