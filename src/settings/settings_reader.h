#pragma once
// Reads the values of a settings file, one field after another: fields end at a
// comma or a line end, blanks before a field are skipped, a field opening with a
// double quote is a text up to the next quote, an empty field is Empty, a number
// field a number.
// It reads at most 17 fields of at most 64 KiB each, in bounded chunks under a
// total limit, so a huge or hostile file costs neither time nor memory; every text
// it yields is valid UTF-8. What the fields mean, and whether a short file is an
// error, is left to the caller.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "value/value.h"

namespace settings {

inline constexpr int kFieldCount = 17;
// A field longer than this keeps its start; the rest of its line is skipped.
inline constexpr std::size_t kFieldLimit = 64 * 1024;
// Bytes read at most from one file: far more than 17 full fields need.
inline constexpr std::size_t kReadLimit = 4 * 1024 * 1024;

struct ReadField {
    Value value;
    int line = 0;  // line of the file the field starts on, from 1
};

struct FieldsRead {
    enum class End {
        Complete,    // all 17 fields were read
        EndOfFile,   // the file ended before the 17th field
        ReadLimit,   // over-long lines used up the read limit before the 17th field
        CannotOpen,  // the file could not be opened: no fields
        ReadError,   // reading failed part way: the fields before it are kept
    };
    std::vector<ReadField> fields;  // in file order, at most 17
    End end = End::EndOfFile;
    std::string reason;  // Italian, for CannotOpen and ReadError
};

// Pulls up to `capacity` bytes into `buffer`: returns how many came, 0 at the end
// of the data, or -1 when reading failed (errno tells why).
using ByteSource = std::function<std::ptrdiff_t(char* buffer, std::size_t capacity)>;

FieldsRead read_fields(const ByteSource& source);

// Only a regular file is read: a folder, a pipe or a device is CannotOpen, so
// that nothing can block or run forever.
FieldsRead read_fields_from_file(const std::filesystem::path& file);

}  // namespace settings
