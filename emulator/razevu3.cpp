// razevu3.so: the adapter used when no emulator has been chosen. It needs no
// vendor library: session A is the in-process host, serving the sample jobs
// shipped beside this library (left in place), or the spool directory named by
// $QOR_SPOOL (finished jobs move to done/). Either way each job is served once
// per run: the sessions of one run, from the first connect to QOR_TERM, share
// one spool, so a reconnect never offers a finished job again even when it
// could not be moved.
#include <cstdlib>
#include <string>

#include "emulator/hllapi_core.h"
#include "emulator/hllapi_exports.h"
#include "emulator/provider_support.h"
#include "emulator/sim_backend.h"
#include "hostsim/spool.h"
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
  a.kind = emulator::SessionKind::kSim;
  const char* spool = std::getenv("QOR_SPOOL");
  a.target = spool && *spool ? spool : SamplesDirectory();
  table.sessions.push_back(a);
  return table;
}

// The run's spool; a new one when the directory changed (a test's next spool).
std::shared_ptr<hostsim::Spool>& RunSpool() {
  static std::shared_ptr<hostsim::Spool> spool;
  return spool;
}

std::unique_ptr<emulator::Backend> Serve(const emulator::SessionLine& line, std::string*) {
  std::shared_ptr<hostsim::Spool>& spool = RunSpool();
  if (!spool || spool->Directory() != line.target) {
    const char* named = std::getenv("QOR_SPOOL");
    hostsim::SpoolOptions options;
    options.keep_finished = !(named && *named);  // the shipped samples are never moved
    spool = std::make_shared<hostsim::Spool>(line.target, options);
  }
  return std::make_unique<emulator::SimBackend>(spool);
}

emulator::HllapiCore& Core() {
  static emulator::HllapiCore core(emulator::StatusLayout::kNarrow, Sessions, Serve,
                                   emulator::ReportProviderError);
  return core;
}

}  // namespace

QOR_EXPORT int QOR_CALL QOR_HLLAPI(int* function, char* data, int* length, int* return_code) {
  if (function && length && return_code)
    Core().Call(*function, reinterpret_cast<unsigned char*>(data), length, return_code);
  return 3;
}

QOR_EXPORT const char* QOR_CALL QOR_WHICH(char*) { return kIdentity; }

QOR_EXPORT int QOR_CALL QOR_LOOP(int(QOR_CALL*)(int)) { return 0; }

QOR_EXPORT int QOR_CALL QOR_INIT(void) { return 0; }

QOR_EXPORT int QOR_CALL QOR_TERM(void) {
  Core().Reset();
  RunSpool().reset();  // the run is over: a new one serves everything again
  return 0;
}
