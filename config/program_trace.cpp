#include "config/program_trace.h"

#include <memory>

#include "common/trace.h"

int HapiTrace(long length, const void* payload) {
  static std::unique_ptr<TraceFile> file;
  if (!file) {
    auto made = std::make_unique<TraceFile>("AQORHAPI.TRC", 'Y');
    if (!made->Usable()) return -1;
    file = std::move(made);
  }
  return TraceWrite(file.get(), length, payload, "QOR-HAPI");
}
