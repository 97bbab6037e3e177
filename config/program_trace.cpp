#include "config/program_trace.h"

#include "common/trace.h"

namespace config {

int HapiTrace(Tracer& trace, long length, const void* payload) {
  if (!trace.File() && !trace.Start("AQORHAPI.TRC", TraceMode::kFresh)) return -1;
  return trace.Write("QOR-HAPI", payload, length);
}

}  // namespace config
