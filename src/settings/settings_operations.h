#pragma once
// The three things done with a settings file: the silent start-up read of
// dati.cfg, "Carica File" and "Salva File". They fill or read the store and the
// dialog's fields; showing what was read in the panes, asking for the file name and
// showing a failure message are left to the windows.

#include <filesystem>
#include <string>

#include "settings/dialog_fields.h"
#include "settings/settings_store.h"
#include "value/value.h"

// Start-up read: fills ScrollX/ScrollY and Dati[1..8] as far as the file goes,
// returns the address of pane 4 (Empty when the file did not supply it). Silent.
Value startup_read(SettingsStore& store, const std::filesystem::path& file);

struct FileOutcome {
    bool ok = true;
    std::string message;   // Italian, for a message box; names the file and the line or reason; empty when ok
};

// "Carica File": checks everything first; on success fills the store (ScrollX/Y, Dati[1..8]),
// and the dialog (Text1..Text5, Check1..Check4); Dati[0] untouched. On failure changes
// nothing at all.
FileOutcome load_settings(const std::filesystem::path& file, SettingsStore& store, DialogFields& dialog);

// "Salva File": ScrollX1,ScrollY1..ScrollX4,ScrollY4, Text1..Text4, Check1..Check4, Text5; atomic.
FileOutcome save_settings(const std::filesystem::path& file, const SettingsStore& store,
                          const DialogFields& dialog);
