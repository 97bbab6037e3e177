#include "platform/file_move.h"

#include "platform/win32/windows_api.h"

namespace platform {

MoveResult MoveFile(const std::string& from, const std::string& to, bool replace, int* error) {
  DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExA(from.c_str(), to.c_str(), flags)) return MoveResult::kMoved;
  DWORD e = GetLastError();
  if (!replace && (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS)) return MoveResult::kExists;
  if (error) *error = static_cast<int>(e);
  return MoveResult::kFailed;
}

}  // namespace platform
