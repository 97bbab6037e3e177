// The diagnostic trace: short time-stamped records under a module tag, each
// starting with CR LF, appended to one file that is opened and closed per
// record so every record is on disk when the call returns.
//
//   <CR><LF><> hh:mm:ss.cc TAG <>payload...
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "common/program_flavour.h"

namespace common {

// How a trace file starts.
enum class TraceMode {
  kAppend,         // after what the file holds, creating it when missing
  kFresh,          // the old file deleted first
  kFreshUnmarked,  // deleted first, and never a "Trace Started" record
};

// What every trace file of one program shares.
struct TraceSettings {
  ProgramFlavour flavour = ProgramFlavour::kClient;
  // Where bare file names go (configuration program only); "" for the current directory.
  std::string directory;
};

class TraceFile {
 public:
  static constexpr size_t kPathSize = 128;

  // Builds the full path: a name containing a separator is used as it stands,
  // a bare name goes into the settings' directory (configuration program only)
  // or the current directory. The configuration program's file starts with a
  // "Trace Started" date record. A path that does not fit the 128-byte buffer
  // is refused: Usable() is then false and nothing on disk is touched.
  TraceFile(const char* file_name, TraceMode mode, const TraceSettings& settings = {});

  bool Usable() const { return path_[0] != '\0'; }
  const char* Path() const { return path_; }
  ProgramFlavour Flavour() const { return flavour_; }

 private:
  char path_[kPathSize];
  ProgramFlavour flavour_;
};

// One time record; length < 0 means payload is a NUL-terminated text. A null
// tag is written as an empty tag. Returns 0, or a negative value when the
// record could not be written.
int TraceWrite(const TraceFile* path, long length, const void* payload, const char* tag);
// One date record "<CR><LF><> yyyy-mm-dd text <>".
int TraceWriteDate(const TraceFile* path, const char* text);
// Appends bytes to the trace file, creating it when missing.
int TraceAppend(const TraceFile* path, size_t count, const void* bytes);

// A program's trace: off until Start succeeds. The program owns one and hands
// it to everything that traces; an off tracer writes nothing, so call sites
// need no test of their own unless formatting the record costs something.
class Tracer {
 public:
  explicit Tracer(ProgramFlavour flavour = ProgramFlavour::kClient) { settings_.flavour = flavour; }
  Tracer(const Tracer&) = default;
  Tracer& operator=(const Tracer&) = default;

  // Directory for bare file names (configuration program only).
  void SetDirectory(const char* directory);
  // Starts (or restarts) tracing into file_name, as TraceFile builds its path.
  // False, leaving the tracer as it was, when the path cannot be built.
  bool Start(const char* file_name, TraceMode mode);
  bool On() const { return file_ != nullptr; }
  TraceFile* File() const { return file_.get(); }

  // A time record of a NUL-terminated text, or of length bytes.
  int Write(const char* tag, const char* text) const;
  int Write(const char* tag, const void* payload, long length) const;
  int WriteDate(const char* text) const;
  int Append(size_t count, const void* bytes) const;

 private:
  TraceSettings settings_;
  std::shared_ptr<TraceFile> file_;
};

}  // namespace common
