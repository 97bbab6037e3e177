// Where a service instance keeps its status file, and `qorprtt --status`:
// the file read back for people (one line) or tools (JSON), with an exit
// status for monitoring.
#pragma once

#include <cstdio>
#include <string>

namespace client {

namespace status_query {
constexpr int kHealthy = 0;
constexpr int kNeedsAttention = 2;  // the session is down, or the last job did not arrive whole
constexpr int kNotRunning = 3;      // no status file, or its process is gone
}  // namespace status_query

// NAME.status in $QOR_STATUS_DIR, else in $XDG_RUNTIME_DIR/qorprt, else in the
// state directory (~/.local/state/qorprt); "" when there is none of them.
std::string StatusFilePath(const std::string& instance);
// Where the system units keep the status files (their QOR_STATUS_DIR): a
// query that finds no file of its own looks there too.
constexpr char kSystemStatusDir[] = "/run/qorprt";

// The process that keeps the status file at path while it runs; 0 when
// there is no file or its process is gone.
long StatusFileOwner(const std::string& path);

// Prints the status of instance on out; returns a status_query value.
int AnswerStatusQuery(const std::string& instance, bool json, std::FILE* out);

}  // namespace client
