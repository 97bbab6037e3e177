// Job file names: where a job's file goes and the next free
// numbered name beside it.
#pragma once

#include <string>

namespace common {
class Tracer;
}  // namespace common

namespace client {

// The target for Rename: one above the highest numeric extension used by
// files and directories of the same base name ("name" -> "name.1",
// "name.lst" with "name.3" present -> "name.4").
std::string NumberTarget(const std::string& target);

// Makes the directory part of path the current directory; failures are ignored.
void ChangeToTargetDirectory(const std::string& path, const common::Tracer& trace);

// download_dir and the job's file name joined into the target path.
std::string BuildTargetPath(const std::string& download_dir, const std::string& file_name);

}  // namespace client
