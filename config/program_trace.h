// The configuration program's own trace entry: the first call on the
// program's tracer starts a fresh "AQORHAPI.TRC" (with a "Trace Started" date
// record) and every call appends one record tagged "QOR-HAPI". The dialogs do
// not trace, so a normal run leaves no trace file behind.
#pragma once

namespace common {
class Tracer;
}  // namespace common

namespace config {

// length < 0: payload is a NUL-terminated text. Returns TraceWrite's result,
// or -1 when the trace file cannot be set up.
int HapiTrace(common::Tracer& trace, long length, const void* payload);

}  // namespace config
