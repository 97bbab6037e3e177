#include "client/engine/job_header.h"

#include <cctype>
#include <cstring>

#include "client/engine/client_state.h"
#include "client/engine/download_ledger.h"
#include "client/engine/job_file.h"
#include "platform/paths.h"

namespace client {

namespace {

char At(const char* screen, size_t length, size_t pos) {
  if (pos >= length || screen[pos] == '\0') return ' ';
  return screen[pos];
}

void CopyField(char* out, size_t width, const char* screen, size_t length, size_t pos) {
  for (size_t i = 0; i < width; ++i) out[i] = At(screen, length, pos + i);
  out[width] = '\0';
}

int32_t Count(const char* screen, size_t length, size_t pos, size_t width) {
  size_t i = 0;
  while (i < width && At(screen, length, pos + i) == ' ') ++i;
  int32_t value = 0;
  for (; i < width; ++i) {
    char c = At(screen, length, pos + i);
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');  // at most 7 digits: no overflow
  }
  return value;
}

// The client's own files beside the jobs are a hidden temporary part
// (".NAME.<pid>-<random>.part"), incomplete jobs ("NAME.incomplete",
// "NAME.incomplete.7") and the ledger: a job named like one would be taken
// for a crash's leftover or an incomplete job. Such a name gets a leading '_'
// (hidden names) or has the dot before "incomplete" made a '_'.
void DistinguishFromWorkFiles(std::string& name) {
  std::string compared = name;
  if (platform::kNamesIgnoreCase)
    for (char& c : compared) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (compared[0] == '.' &&
      (compared.ends_with(JobFile::kPartSuffix) || compared == DownloadLedger::kFileName)) {
    name = "_" + name;
    return;
  }
  const std::string marker = JobFile::kIncompleteSuffix;
  for (size_t at = compared.rfind(marker); at != std::string::npos && at > 0;
       at = at == 0 ? std::string::npos : compared.rfind(marker, at - 1)) {
    size_t rest = at + marker.size();
    bool numbered = rest < compared.size() && compared[rest] == '.' && rest + 1 < compared.size() &&
                    compared.find_first_not_of("0123456789", rest + 1) == std::string::npos;
    if (rest == compared.size() || numbered) {
      name[at] = compared[at] = '_';
    }
  }
}

}  // namespace

bool IsJobHeader(const char* screen, size_t length) {
  static const char kMarker[] = "QORPRINT";
  if (!screen || length < 8) return false;
  for (size_t i = 0; i < 8; ++i) {
    char c = screen[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kMarker[i]) return false;
  }
  return true;
}

int ParseJobHeader(const char* screen, size_t length, JobHeader& h, ClientState& state) {
  if (At(screen, length, header_pos::kLevel) != 'V') return 1;
  CopyField(h.job_prefix, 3, screen, length, header_pos::kPrefix);
  CopyField(h.job_ident, 14, screen, length, header_pos::kIdent);
  CopyField(h.job_code, 3, screen, length, header_pos::kCode);
  CopyField(h.field4, 3, screen, length, header_pos::kField4);
  CopyField(h.field5, 16, screen, length, header_pos::kField5);
  h.job_lines = Count(screen, length, header_pos::kLines, 7);
  h.job_pages = Count(screen, length, header_pos::kPages, 5);
  const char* comma = std::strchr(h.job_ident, ',');
  state.job_file_name.assign(h.job_ident, comma ? static_cast<size_t>(comma - h.job_ident) : 14);
  return 0;
}

bool MakeSafeJobFileName(std::string& name) {
  while (name.size() > 1 && name.back() == ' ') name.pop_back();
  std::string safe = name;
  for (char& c : safe) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7e || c == '/' || std::strchr(platform::kPathSeparators, c)) c = '_';
  }
  if (safe.find_first_not_of(' ') == std::string::npos) safe = "QORJOB";
  if (safe.find_first_not_of('.') == std::string::npos || platform::IsDeviceName(safe))
    safe = "_" + safe;
  DistinguishFromWorkFiles(safe);
  bool changed = safe != name;
  name = safe;
  return changed;
}

std::string JobKey(const JobHeader& h) { return std::string(h.job_prefix) + " " + h.job_ident; }

std::string TrimmedKey(const std::string& key) {
  return key.substr(0, key.find_last_not_of(' ') + 1);
}

}  // namespace client
