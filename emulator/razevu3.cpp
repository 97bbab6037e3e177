// razevu3.so: the adapter used when no emulator has been chosen. It needs no
// vendor library: session A is the in-process host, serving the sample jobs
// shipped beside this library (offered again and again), or the spool
// directory named by $QOR_SPOOL (served once, finished jobs move to done/).
#include <cstdlib>
#include <string>

#include "emulator/hllapi_core.h"
#include "emulator/provider_support.h"
#include "emulator/hllapi_exports.h"
#include "emulator/sim_backend.h"
#include "platform/dynamic_library.h"

#define QOR_EXPORT extern "C" QOR_PUBLISHED

namespace {

const char kIdentity[] = "RAZEVU3.DLL built-in host, vsn: 1.0";

std::string SamplesDirectory() {
  return platform::LibraryDirectoryOf(reinterpret_cast<const void*>(&SamplesDirectory)) + "samples";
}

emulator::SessionTable Sessions() {
  emulator::SessionTable table;
  emulator::SessionLine a;
  a.letter = 'A';
  a.kind = emulator::SessionKind::Sim;
  const char* spool = std::getenv("QOR_SPOOL");
  a.target = spool && *spool ? spool : SamplesDirectory();
  table.sessions.push_back(a);
  return table;
}

std::unique_ptr<emulator::Backend> Serve(const emulator::SessionLine& line, std::string*) {
  const char* spool = std::getenv("QOR_SPOOL");
  bool shipped_samples = !(spool && *spool);
  return std::make_unique<emulator::SimBackend>(line.target, shipped_samples);
}

emulator::HllapiCore& Core() {
  static emulator::HllapiCore core(emulator::StatusLayout::Narrow, Sessions, Serve,
                                   emulator::ReportProviderError);
  return core;
}

}  // namespace

QOR_EXPORT int QOR_CALL QOR_HLLAPI(int* function, char* data, int* length, int* return_code) {
  if (function && length && return_code)
    Core().call(*function, reinterpret_cast<unsigned char*>(data), length, return_code);
  return 3;
}

QOR_EXPORT const char* QOR_CALL QOR_WHICH(char*) { return kIdentity; }

QOR_EXPORT int QOR_CALL QOR_LOOP(int(QOR_CALL*)(int)) { return 0; }

QOR_EXPORT int QOR_CALL QOR_INIT(void) { return 0; }

QOR_EXPORT int QOR_CALL QOR_TERM(void) {
  Core().reset();
  return 0;
}
