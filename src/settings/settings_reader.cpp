#include "settings/settings_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "settings/file_error_text.h"
#include "text/text_encoding.h"

namespace settings {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

bool is_line_end(int c) { return c == '\r' || c == '\n'; }

// The bytes of the source one at a time, never more than kReadLimit of them.
// NUL bytes are dropped here: no text can hold them (widgets would cut the text
// there), and a file of NULs then reads like an empty one.
class ByteStream {
public:
    explicit ByteStream(const ByteSource& source) : source_(source), buffer_(kChunk, '\0') {}

    // The next byte, or -1 once the data ended, failed or reached the limit.
    int peek() {
        for (;;) {
            if (pos_ == len_ && !refill()) return -1;
            const auto c = static_cast<unsigned char>(buffer_[pos_]);
            if (c != 0) return c;
            ++pos_;
        }
    }
    void advance() { ++pos_; }

    // Skips a UTF-8 byte-order mark at the very start; true if there was one.
    bool skip_bom() {
        while (len_ < 3) {
            const std::size_t n = pull(buffer_.data() + len_, kChunk - len_);
            if (n == 0) break;
            len_ += n;
        }
        if (len_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) {
            pos_ = 3;
            return true;
        }
        return false;
    }

    FieldsRead::End end() const { return end_; }
    int error_number() const { return error_number_; }

private:
    bool refill() {
        pos_ = len_ = 0;
        len_ = pull(buffer_.data(), kChunk);
        return len_ > 0;
    }

    // Up to `capacity` bytes into `into`; 0 once the source has stopped for good.
    std::size_t pull(char* into, std::size_t capacity) {
        if (stopped_) return 0;
        const std::size_t room = std::min(capacity, kReadLimit - consumed_);
        if (room == 0) {
            // One byte more tells a file that ends right at the limit from a longer one.
            char probe = 0;
            const std::ptrdiff_t n = source_(&probe, 1);
            stop(n > 0 ? FieldsRead::End::ReadLimit : n == 0 ? FieldsRead::End::EndOfFile
                                                              : FieldsRead::End::ReadError);
            return 0;
        }
        const std::ptrdiff_t n = source_(into, room);
        if (n <= 0) {
            stop(n == 0 ? FieldsRead::End::EndOfFile : FieldsRead::End::ReadError);
            return 0;
        }
        consumed_ += static_cast<std::size_t>(n);
        return static_cast<std::size_t>(n);
    }

    void stop(FieldsRead::End why) {
        if (why == FieldsRead::End::ReadError) error_number_ = errno;
        end_ = why;
        stopped_ = true;
    }

    const ByteSource& source_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::size_t consumed_ = 0;
    bool stopped_ = false;
    FieldsRead::End end_ = FieldsRead::End::EndOfFile;
    int error_number_ = 0;
};

struct RawField {
    std::string bytes;
    int line = 0;
    bool quoted = false;
    bool cut = false;  // was longer than kFieldLimit
};

// Splits the byte stream into fields. A quoted field ends at the line end even
// without its closing quote, so a stray quote never swallows the lines after it.
class FieldScanner {
public:
    explicit FieldScanner(ByteStream& in) : in_(in) {}

    std::optional<RawField> next() {
        int c = in_.peek();
        while (is_blank(c)) {
            in_.advance();
            c = in_.peek();
        }
        if (c < 0) return std::nullopt;

        RawField field;
        field.line = line_;
        if (c == '"') {
            field.quoted = true;
            in_.advance();
            for (c = in_.peek(); c >= 0 && c != '"' && !is_line_end(c); c = in_.peek()) {
                in_.advance();
                if (!keep(field, c)) return field;
            }
            if (c == '"') {
                // Whatever follows the closing quote up to the separator is no part of the text.
                in_.advance();
                for (c = in_.peek(); c >= 0 && c != ',' && !is_line_end(c); c = in_.peek())
                    in_.advance();
            }
        } else {
            for (; c >= 0 && c != ',' && !is_line_end(c); c = in_.peek()) {
                in_.advance();
                if (!keep(field, c)) return field;
            }
            while (!field.bytes.empty() && is_blank(field.bytes.back())) field.bytes.pop_back();
        }
        if (c == ',') {
            in_.advance();
        } else {
            end_line();
        }
        return field;
    }

private:
    // Adds a byte to the field; past the limit, marks the field cut and skips the
    // rest of its line instead.
    bool keep(RawField& field, int c) {
        if (field.bytes.size() < kFieldLimit) {
            field.bytes += static_cast<char>(c);
            return true;
        }
        field.cut = true;
        int rest = in_.peek();
        while (rest >= 0 && !is_line_end(rest)) {
            in_.advance();
            rest = in_.peek();
        }
        end_line();
        return false;
    }

    // CR LF, LF alone or CR alone.
    void end_line() {
        const int c = in_.peek();
        if (!is_line_end(c)) return;
        in_.advance();
        if (c == '\r' && in_.peek() == '\n') in_.advance();
        ++line_;
    }

    ByteStream& in_;
    int line_ = 1;
};

Value field_value(const RawField& field, std::string text) {
    if (field.quoted) return Value(std::move(text));
    if (text.empty()) return Value();
    if (auto number = Value::number_in_text(text)) return *number;
    return Value(std::move(text));
}

// The file counts as UTF-8 when every field read is; otherwise it was most likely
// written on Windows, and all of it is taken as Windows-1252. A byte-order mark
// settles it for UTF-8, and then stray bytes become U+FFFD.
std::vector<ReadField> decode(const std::vector<RawField>& raw, bool has_bom) {
    const auto utf8_part = [](const RawField& f) {
        std::string_view bytes = f.bytes;
        if (f.cut) bytes.remove_suffix(text::cut_utf8_tail(bytes));  // a character split by the limit
        return bytes;
    };
    const bool utf8 = has_bom || std::all_of(raw.begin(), raw.end(), [&](const RawField& f) {
                          return text::is_valid_utf8(utf8_part(f));
                      });
    std::vector<ReadField> fields;
    fields.reserve(raw.size());
    for (const RawField& f : raw) {
        std::string text = has_bom ? text::repair_utf8(utf8_part(f))
                           : utf8  ? std::string(utf8_part(f))
                                   : text::cp1252_to_utf8(f.bytes);
        fields.push_back({field_value(f, std::move(text)), f.line});
    }
    return fields;
}

FieldsRead cannot_open(std::string reason) {
    FieldsRead result;
    result.end = FieldsRead::End::CannotOpen;
    result.reason = std::move(reason);
    return result;
}

}  // namespace

FieldsRead read_fields(const ByteSource& source) {
    ByteStream in(source);
    const bool has_bom = in.skip_bom();
    FieldScanner scanner(in);
    std::vector<RawField> raw;
    while (raw.size() < static_cast<std::size_t>(kFieldCount)) {
        auto field = scanner.next();
        if (!field) break;
        raw.push_back(std::move(*field));
    }

    FieldsRead result;
    result.fields = decode(raw, has_bom);
    if (in.end() == FieldsRead::End::ReadError) {
        // Even with 17 fields, the last may have been cut short by the failure.
        result.end = FieldsRead::End::ReadError;
        result.reason = reason_for_errno(in.error_number());
    } else if (raw.size() == static_cast<std::size_t>(kFieldCount)) {
        result.end = FieldsRead::End::Complete;
    } else {
        result.end = in.end();
    }
    return result;
}

FieldsRead read_fields_from_file(const std::filesystem::path& file) {
    // Non-blocking, so that opening a named pipe cannot hang; fstat then refuses it.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return cannot_open(reason_for_errno(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat info {};
    if (::fstat(fd, &info) != 0) return cannot_open(reason_for_errno(errno));
    if (S_ISDIR(info.st_mode)) return cannot_open(reason_for_errno(EISDIR));
    if (!S_ISREG(info.st_mode)) return cannot_open("non è un file normale");

    const ByteSource source = [fd](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        for (;;) {
            const ssize_t n = ::read(fd, buffer, capacity);
            if (n < 0 && errno == EINTR) continue;
            return n;
        }
    };
    return read_fields(source);
}

}  // namespace settings
