// The step between the job dialog (or an unattended poll) and the data
// transfer: the target file, the duplicate rule and the log record.
#pragma once

#include <string>

struct ClientApp;

// 0 when refused because the file exists (Cancel option), else the result of
// TransferJobData.
int DownloadJob(ClientApp& app);

// The target for Rename: one above the highest numeric extension used by
// files and directories of the same base name ("name" -> "name.1",
// "name.lst" with "name.3" present -> "name.4").
std::string NumberTarget(const std::string& target);

// Makes the directory part of path the current directory; failures are ignored.
void ChangeToTargetDirectory(const std::string& path);

// download_dir and the job's file name joined into the target path.
std::string BuildTargetPath(const std::string& download_dir, const std::string& file_name);
