#include "settings/settings_location.h"

#include <system_error>

#include "settings/file_error_text.h"
#include "settings/settings_reader.h"

namespace settings {

std::filesystem::path user_settings_file(std::string_view xdg_config_home, std::string_view home) {
    std::filesystem::path base(xdg_config_home);
    if (xdg_config_home.empty() || !base.is_absolute()) base = std::filesystem::path(home) / ".config";
    return base / "orvalis" / "dati.cfg";
}

StartSettings start_settings(const std::filesystem::path& program_folder, std::string_view xdg_config_home,
                             std::string_view home, const std::optional<std::filesystem::path>& named_file) {
    const std::filesystem::path own = user_settings_file(xdg_config_home, home);
    const std::filesystem::path beside = program_folder / "dati.cfg";
    std::error_code ec;
    StartSettings start;
    if (named_file) {
        // As the file system resolves it: "link/../sala.cfg" is beside the link's
        // target, not beside the link. A symbolic link to a file is read, and saved
        // through, at its target.
        start.file = std::filesystem::weakly_canonical(std::filesystem::absolute(*named_file, ec), ec);
        if (ec) start.file = std::filesystem::absolute(*named_file, ec).lexically_normal();
        if (ec) start.file = *named_file;
    } else {
        start.file = std::filesystem::exists(beside, ec) ? beside : own;
    }

    const FieldsRead read = read_fields_from_file(start.file);
    const bool opened = read.end != FieldsRead::End::CannotOpen;
    // A named file that is not there yet is the one a new wall's settings go to.
    const bool named_new = named_file && !std::filesystem::exists(start.file, ec);
    start.proposal = opened || named_new ? start.file : own;
    if (named_file && !opened)
        start.warning = "orvalis: impossibile leggere il file di configurazione " + quoted_file_name(start.file) +
                        ": " + read.reason;
    return start;
}

}  // namespace settings
