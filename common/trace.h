// The diagnostic trace: short time-stamped records under a module tag, each
// starting with CR LF, appended to one file that is opened and closed per
// record so every record is on disk when the call returns.
//
//   <CR><LF><> hh:mm:ss.cc TAG <>payload...
//
// Tracing is off while TracePath is null; call sites test it before they
// format anything.
#pragma once

#include <cstddef>
#include <memory>

class TraceFile {
 public:
  static constexpr size_t kPathSize = 128;

  // Builds the full path: a name containing a separator is used as it stands,
  // a bare name goes into the trace directory (configuration program only) or
  // the current directory. Mode 'Y' or 'S' deletes an existing file; other
  // letters append. A path that does not fit the 128-byte buffer is refused:
  // usable() is then false and nothing on disk is touched.
  TraceFile(const char* file_name, char mode);

  bool Usable() const { return path_[0] != '\0'; }
  const char* Path() const { return path_; }

 private:
  char path_[kPathSize];
};

// The current trace file, null when tracing is off.
extern TraceFile* TracePath;

// Creates a trace file and makes it current. Returns false, leaving tracing as
// it was, when the path cannot be built. The objects live until the program ends.
bool TraceSwitchOn(const char* file_name, char mode);

// One time record; length < 0 means payload is a NUL-terminated text. A null
// tag is written as an empty tag. Returns 0, or a negative value when the
// record could not be written.
int TraceWrite(TraceFile* path, long length, const void* payload, const char* tag);
// One date record "<CR><LF><> yyyy-mm-dd text <>".
int TraceWriteDate(TraceFile* path, const char* text);
// Appends bytes to the trace file, creating it when missing.
int TraceAppend(TraceFile* path, size_t count, const void* bytes);
// Directory for bare trace file names (configuration program's build only).
void TraceSetDirectory(const char* directory);

// A program's trace: off until Start succeeds. The program owns one and hands
// it to everything that traces; an off tracer writes nothing, so call sites
// need no test of their own unless formatting the record costs something.
class Tracer {
 public:
  // Starts (or restarts) tracing into file_name, as TraceFile builds its path.
  // False, leaving the tracer as it was, when the path cannot be built.
  bool Start(const char* file_name, char mode);
  bool On() const { return file_ != nullptr; }
  TraceFile* File() const { return file_.get(); }

  // A time record of a NUL-terminated text, or of length bytes.
  int Write(const char* tag, const char* text) const;
  int Write(const char* tag, const void* payload, long length) const;
  int WriteDate(const char* text) const;
  int Append(size_t count, const void* bytes) const;

 private:
  std::shared_ptr<TraceFile> file_;
};
