// The messages shown when the help document cannot be opened, by error number.
#pragma once

#include <QString>
#include <optional>

namespace tinta {

// The message for error (ENOENT, E2BIG, ENOEXEC, ENOMEM, EACCES, EMFILE), or
// nothing for any other number.
std::optional<QString> HelpErrorMessage(int error);

}  // namespace tinta
