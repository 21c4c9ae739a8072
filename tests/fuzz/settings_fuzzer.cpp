// The settings reader on raw bytes in chunks of varying size: what it reads, written and read
// back, has as many fields. The writer may change a text once (a line break to a blank, a quote
// to an apostrophe, "7" to the number 7), but a second round changes no field's text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_reader.h"
#include "settings/settings_writer.h"
#include "text/text_encoding.h"

namespace {

settings::FieldsRead read_in_chunks(std::string_view bytes, std::size_t chunk) {
    return settings::read_fields([&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        const std::size_t n = std::min({capacity, chunk, bytes.size()});
        std::memcpy(buffer, bytes.data(), n);
        bytes.remove_prefix(n);
        return static_cast<std::ptrdiff_t>(n);
    });
}

std::string written(const settings::FieldsRead& read) {
    std::vector<Value> values;
    for (const auto& field : read.fields) {
        if (field.value.kind() == Value::Kind::String && !text::is_valid_utf8(field.value.to_text())) std::abort();
        values.push_back(field.value);
    }
    return settings::settings_file_content(values);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] % 64 * 37;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const settings::FieldsRead first = read_in_chunks(bytes, chunk);
    if (first.fields.size() > settings::kFieldCount) std::abort();
    const settings::FieldsRead second = read_in_chunks(written(first), 4096);
    const settings::FieldsRead third = read_in_chunks(written(second), 4096);
    if (second.fields.size() != first.fields.size() || third.fields.size() != first.fields.size()) std::abort();
    for (std::size_t i = 0; i < first.fields.size(); ++i)
        if (third.fields[i].value.to_text() != second.fields[i].value.to_text()) std::abort();
    return 0;
}
