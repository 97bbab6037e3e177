// Moving a finished file into place within one directory, so that a name
// either holds the whole file or nothing new.
#pragma once

#include <string>

namespace platform {

enum class MoveResult { kMoved, kExists, kFailed };

// Moves from to to. With replace, an existing file at to is replaced in one
// step; without, the move fails with kExists and nothing changes. On kFailed
// *error (when given) holds the system error number.
MoveResult MoveFile(const std::string& from, const std::string& to, bool replace,
                    int* error = nullptr);

}  // namespace platform
