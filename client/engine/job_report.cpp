#include "client/engine/job_report.h"

namespace client {

const char* JobStatusWord(JobStatus status) {
  switch (status) {
    case JobStatus::kDelivered: return "delivered";
    case JobStatus::kIncomplete: return "incomplete";
    case JobStatus::kSetAside: return "set-aside";
  }
  return "";
}

}  // namespace client
