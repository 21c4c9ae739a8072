#include "settings/file_error_text.h"

#include <cerrno>
#include <system_error>

#include "text/text_encoding.h"

namespace settings {

std::string reason_for_errno(int error_number) {
    switch (error_number) {
    case ENOENT: return "il file o la cartella non esiste";
    case EACCES:
    case EPERM: return "permesso negato";
    case EROFS: return "il disco è di sola lettura";
    case ENOSPC: return "spazio su disco esaurito";
    case EDQUOT: return "quota del disco esaurita";
    case EFBIG: return "il file è troppo grande";
    case EISDIR: return "è una cartella";
    case ENOTDIR: return "una parte del percorso non è una cartella";
    case ENAMETOOLONG: return "il nome è troppo lungo";
    case ELOOP: return "troppi collegamenti simbolici";
    case EIO: return "errore di input/output del disco";
    case EMFILE:
    case ENFILE: return "troppi file aperti";
    case EBUSY: return "il file è in uso";
    case EXDEV: return "il file è su un altro disco";
    default:
        // The system's own wording is English, but better than nothing at all.
        return "errore di sistema " + std::to_string(error_number) + " (" +
               std::generic_category().message(error_number) + ")";
    }
}

std::string folder_reason(const std::filesystem::path& folder, int error_number) {
    std::error_code ignored;
    return "non si possono creare file nella cartella " + quoted_file_name(std::filesystem::absolute(folder, ignored)) +
           " (" + reason_for_errno(error_number) + ")";
}

std::string quoted_file_name(const std::filesystem::path& file) {
    return "\"" + text::repair_utf8(file.string()) + "\"";
}

}  // namespace settings
