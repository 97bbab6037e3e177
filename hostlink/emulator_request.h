// The request block through which the connection issues numbered requests to
// the HLLAPI request layer.
#pragma once

#include <cstdint>

namespace hostlink {

// Request codes.
enum : int32_t {
  kRequestConnect = 1,
  kRequestWaitForReply = 5,
  kRequestCopyScreen = 7,
  kRequestWriteText = 8,
  kRequestSendKeys = 9,
  kRequestSetParameters = 12,
  kRequestWait = 14,
  kRequestSfConnect = 65,
  kRequestSfDisconnect = 79,
  kRequestDisconnect = 127,
};

// Session kinds.
enum : int32_t {
  kKindIrma = 0,
  kKindDefault = 1,
  kKindCut = 'C',
  kKindRof52 = 'R',
  kKindPause = 'P',
  kKindNovell = 'N',  // forced by the 32-bit session status check
};

// Adapter families.
enum : char { kFamilyWinHllapi = 0, kFamilyPcs = 1, kFamilyE62 = 2 };

struct EmulatorRequest {
  int32_t request_code;
  int32_t result;
  int32_t write_position;  // 0 is taken as 1
  int32_t rows;
  int32_t columns;
  int32_t timeout;  // seconds
  int32_t screen_size;
  int32_t session_kind;
  uint8_t dest_origin_id[2];
  const char* error_text;  // points at the layer's error text after a failure
  char* screen_buffer;     // screen_size blanks while connected
  char short_session_id;   // 'A' = first session; 0 for the Novell type
  char adapter_family;
  char wide_sf_parameters;
};

}  // namespace hostlink
