#include "config/program_trace.h"

#include "common/trace.h"

namespace config {

int HapiTrace(common::Tracer& trace, long length, const void* payload) {
  if (!trace.File() && !trace.Start("AQORHAPI.TRC", common::TraceMode::kFresh)) return -1;
  return trace.Write("QOR-HAPI", payload, length);
}

}  // namespace config
