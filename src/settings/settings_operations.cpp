#include "settings/settings_operations.h"

#include <array>
#include <cstddef>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/file_error_text.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"

namespace {

using settings::FieldsRead;
using settings::kFieldCount;

// File lines 1..17, counted from 0.
constexpr std::size_t kAddressOfPane4 = 11;
constexpr std::size_t kFirstFlag = 12;

FileOutcome failure(std::string message) { return {false, std::move(message)}; }

// Where field `index` goes in the store; the address of pane 4 goes to `pane4`.
Value& destination(std::size_t index, SettingsStore& store, Value& pane4) {
    if (index < 8) return index % 2 == 0 ? store.ScrollX[index / 2] : store.ScrollY[index / 2];
    if (index < kAddressOfPane4) return store.Dati[index - 7];  // Dati(1)..Dati(3)
    if (index == kAddressOfPane4) return pane4;
    return store.Dati[index - 8];  // Dati(4)..Dati(8)
}

// A shown value stays short enough for a message box.
std::string excerpt(const Value& value) {
    std::string text = value.to_text();
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown) return text;
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole characters only
    return text.substr(0, cut) + "…";
}

// Why a read that did not yield 17 usable fields cannot be loaded.
std::string read_failure(const FieldsRead& read, const std::string& name) {
    const std::size_t missing_line = std::min<std::size_t>(read.fields.size() + 1, kFieldCount);
    const std::string line = std::to_string(missing_line);
    switch (read.end) {
    case FieldsRead::End::CannotOpen:
        return "Impossibile aprire il file di configurazione " + name + ": " + read.reason + ".";
    case FieldsRead::End::ReadError:
        return "Errore nella lettura del file di configurazione " + name + " alla riga " + line +
               ": " + read.reason + ".";
    case FieldsRead::End::ReadLimit:
        return "Il file di configurazione " + name + " non è leggibile: ci sono righe troppo lunghe prima della riga " +
               line + ".";
    default:
        return "Il file di configurazione " + name + " è incompleto: manca la riga " + line +
               " (servono " + std::to_string(kFieldCount) + " righe).";
    }
}

}  // namespace

Value startup_read(SettingsStore& store, const std::filesystem::path& file) {
    const FieldsRead read = settings::read_fields_from_file(file);
    Value pane4;
    for (std::size_t i = 0; i < read.fields.size(); ++i)
        destination(i, store, pane4) = read.fields[i].value;
    return pane4;
}

FileOutcome load_settings(const std::filesystem::path& file, SettingsStore& store, DialogFields& dialog) {
    const std::string name = settings::quoted_file_name(file);
    const FieldsRead read = settings::read_fields_from_file(file);
    if (read.end != FieldsRead::End::Complete) return failure(read_failure(read, name));

    std::array<int, 4> flags{};
    for (std::size_t n = 0; n < flags.size(); ++n) {
        const settings::ReadField& field = read.fields[kFirstFlag + n];
        const auto flag = field.value.to_int16();
        if (!flag || *flag < 0 || *flag > 2)
            return failure("Il file di configurazione " + name + " non è valido: la riga " +
                           std::to_string(field.line) + " deve contenere 0, 1 o 2, non «" +
                           excerpt(field.value) + "».");
        flags[n] = *flag;
    }

    for (int n = 1; n <= 4; ++n) dialog.set_check(n, flags[n - 1]);
    Value pane4;
    for (std::size_t i = 0; i < read.fields.size(); ++i)
        destination(i, store, pane4) = read.fields[i].value;
    for (int n = 1; n <= 3; ++n) dialog.set_text(n, store.Dati[n].to_text());
    dialog.set_text(4, pane4.to_text());
    dialog.set_text(5, store.Dati[8].to_text());
    return {};
}

FileOutcome save_settings(const std::filesystem::path& file, const SettingsStore& store,
                          const DialogFields& dialog) {
    std::vector<Value> values;
    values.reserve(kFieldCount);
    for (std::size_t pane = 0; pane < 4; ++pane) {
        values.push_back(store.ScrollX[pane]);
        values.push_back(store.ScrollY[pane]);
    }
    for (int n = 1; n <= 4; ++n) values.emplace_back(dialog.text(n));
    for (int n = 1; n <= 4; ++n) values.emplace_back(dialog.check(n));
    values.emplace_back(dialog.text(5));

    if (auto reason = settings::replace_file_content(file, settings::settings_file_content(values)))
        return failure("Impossibile salvare la configurazione nel file " +
                       settings::quoted_file_name(file) + ": " + *reason + ".");
    return {};
}
