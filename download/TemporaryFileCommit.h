// Moving a finished download from its temporary file onto the target
// without ever leaving the target missing: a target that cannot be deleted
// (a running program) is set aside as target + ".old.tmp" first, and a
// failed move puts the old file back under its name.
#pragma once

#include <string>

namespace Kx {

// Where a download into `targetPath` writes until it is complete.
std::wstring TemporaryPathFor(const std::wstring& targetPath);

// MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED |
// MOVEFILE_WRITE_THROUGH, once more in the "\\?\" form when that fails.
bool MoveReplacing(const std::wstring& from, const std::wstring& to);

// Moves `temporaryPath` onto `targetPath`. On failure the temporary file is
// left as it was and GetLastError tells why.
bool CommitTemporaryFile(const std::wstring& temporaryPath, const std::wstring& targetPath);

}  // namespace Kx
