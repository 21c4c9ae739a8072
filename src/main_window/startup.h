#pragma once
// The main window's load step: countdown to 120, dati.cfg into the store, the store
// into the configuration dialog's fields, the four panes navigated and silenced.
// Every step that fails is skipped and the next one runs; nothing is reported.

#include <filesystem>

#include "browser_pane/pane.h"
#include "settings/dialog_fields.h"
#include "settings/settings_store.h"

void load_start_settings(SettingsStore& store, const std::filesystem::path& settings_file,
               DialogFields& dialog, const PaneSet& panes);
