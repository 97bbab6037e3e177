#include "client/engine/status_query.h"

#include <cstdlib>
#include <map>

#include "common/json_text.h"
#include "platform/config_file.h"
#include "platform/process.h"
#include "platform/whole_file.h"

namespace client {

std::string StatusFilePath(const std::string& instance) {
  const std::string file = instance + ".status";
  if (const char* dir = std::getenv("QOR_STATUS_DIR"); dir && *dir)
    return std::string(dir) + "/" + file;
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run)
    return std::string(run) + "/qorprt/" + file;
  return platform::StateFilePath("", file.c_str());
}

namespace {

using Fields = std::map<std::string, std::string>;

Fields ReadFields(const std::string& text) {
  Fields fields;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (size_t eq = line.find('='); eq != std::string::npos)
      fields[line.substr(0, eq)] = line.substr(eq + 1);
    at = end + 1;
  }
  return fields;
}

bool NeedsAttention(Fields& f) {
  return f["session"] == "down" || f["last_status"] == "incomplete" ||
         f["last_status"] == "set-aside";
}

// A number as JSON takes it: digits only, else 0.
std::string Number(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return "0";
  return text;
}

std::string OrNull(const std::string& text) {
  return text.empty() ? "null" : common::JsonString(text);
}

std::string JsonStatus(const std::string& instance, Fields& f, bool running) {
  std::string out = "{\"instance\":" + common::JsonString(instance) +
                    ",\"running\":" + (running ? "true" : "false");
  if (!running) return out + ",\"healthy\":false}\n";
  out += std::string(",\"healthy\":") + (NeedsAttention(f) ? "false" : "true") +
         ",\"pid\":" + Number(f["pid"]) + ",\"started\":" + OrNull(f["started"]) +
         ",\"session\":" + common::JsonString(f["session"]) +
         ",\"session_since\":" + OrNull(f["session_since"]) + ",\"job\":";
  out += f["job"].empty() ? "null"
                          : "{\"name\":" + common::JsonString(f["job"]) +
                                ",\"since\":" + OrNull(f["job_since"]) + "}";
  out += ",\"last_job\":";
  out += f["last_job"].empty() ? "null"
                               : "{\"name\":" + common::JsonString(f["last_job"]) +
                                     ",\"status\":" + common::JsonString(f["last_status"]) +
                                     ",\"file\":" + common::JsonString(f["last_file"]) +
                                     ",\"reason\":" + common::JsonString(f["last_reason"]) +
                                     ",\"time\":" + OrNull(f["last_time"]) + "}";
  out += ",\"counts\":{\"delivered\":" + Number(f["delivered"]) +
         ",\"incomplete\":" + Number(f["incomplete"]) + ",\"set_aside\":" + Number(f["set_aside"]) +
         ",\"bytes\":" + Number(f["bytes"]) + "}}\n";
  return out;
}

std::string TextStatus(const std::string& instance, Fields& f) {
  std::string out = "qorprt " + instance + ": " + (NeedsAttention(f) ? "ATTENTION" : "OK") +
                    "; running since " + f["started"] + " (process " + f["pid"] + "); session " +
                    f["session"] +
                    (f["session_since"].empty() ? "" : " since " + f["session_since"]);
  out += f["job"].empty() ? "; no job under way"
                          : "; job " + f["job"] + " under way since " + f["job_since"];
  if (!f["last_job"].empty())
    out += "; last job " + f["last_job"] + " " + f["last_status"] + " at " + f["last_time"] +
           (f["last_reason"].empty() ? "" : " (" + f["last_reason"] + ")");
  return out + "; " + f["delivered"] + " delivered, " + f["incomplete"] + " incomplete, " +
         f["set_aside"] + " set aside, " + f["bytes"] + " bytes\n";
}

}  // namespace

long StatusFileOwner(const std::string& path) {
  std::string text;
  if (path.empty() || platform::ReadWholeFile(path, &text) != 0) return 0;
  // A file left by a run that was killed says nothing of now.
  const long pid = std::atol(Number(ReadFields(text)["pid"]).c_str());
  return pid > 0 && platform::ProcessMayBeRunning(pid) ? pid : 0;
}

int AnswerStatusQuery(const std::string& instance, bool json, std::FILE* out) {
  std::string path = StatusFilePath(instance);
  std::string text;
  bool found = !path.empty() && platform::ReadWholeFile(path, &text) == 0;
  // The system units keep theirs in one place, whoever asks.
  const char* dir = std::getenv("QOR_STATUS_DIR");
  const std::string system_path = std::string(kSystemStatusDir) + "/" + instance + ".status";
  if (!found && !(dir && *dir) && platform::ReadWholeFile(system_path, &text) == 0) {
    path = system_path;
    found = true;
  }
  Fields f = ReadFields(text);
  const bool running = found && StatusFileOwner(path) != 0;
  std::string answer = json      ? JsonStatus(instance, f, running)
                       : running ? TextStatus(instance, f)
                                 : "qorprt " + instance + ": not running (no status in " +
                                       (path.empty() ? std::string("any directory") : path) +
                                       (found || (dir && *dir) ? "" : " or " + system_path) + ")\n";
  if (std::fputs(answer.c_str(), out) < 0 || std::fflush(out) != 0) return 1;
  if (!running) return status_query::kNotRunning;
  return NeedsAttention(f) ? status_query::kNeedsAttention : status_query::kHealthy;
}

}  // namespace client
