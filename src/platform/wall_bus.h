#pragma once
// A wall on the user's session bus. The running wall owns its application id there;
// a second start of it, `orvalis --status`, `gapplication` and `gdbus` reach it by
// that id. Nothing here listens on the network.

#include <gio/gio.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

inline constexpr const char* kDefaultWallId = "org.orvalis.Orvalis";

// kDefaultWallId for the wall without --config. A wall with a settings file of its
// own gets an id of its own, so walls on one machine never meet as one:
// org.orvalis.Orvalis.Parete_ and sixteen hex digits of a hash of the file's full path.
std::string wall_application_id(const std::optional<std::filesystem::path>& own_settings_file);

// The object path GApplication exports the id's actions on.
std::string wall_object_path(const std::string& id);

// Asks the wall with that id to bring its window forward. False when no such wall
// answers, or there is no session bus: then this start is the wall.
bool raise_running_wall(const std::string& id);

// The running wall's status lines; nothing when no such wall answers.
std::optional<std::vector<std::string>> ask_wall_status(const std::string& id);

// Answers status requests on the connection the application registered with, at its path.
void offer_wall_status(GDBusConnection* connection, const std::string& object_path,
                       std::function<std::vector<std::string>()> lines);

}  // namespace platform
