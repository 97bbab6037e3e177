// The logic shared by the three adapters over a WinHLLAPI library. Each
// adapter that includes this has its own three 16-bit words: the vendor
// library is always handed their addresses, never the caller's variables.
#pragma once

#include "adapters/adapter_common.h"

namespace adapters {
namespace {  // each adapter library its own words

uint16_t w32func;
uint16_t w32len;
uint16_t w32retrn;

// Only the low 16 bits go to the vendor; length and return code come back
// zero-extended. The function number is not written back.
int ForwardToWinHllapi(int* func, char* buf, int* len, int* retrn) {
  if (!func || !len || !retrn) return 3;
  w32func = static_cast<uint16_t>(static_cast<uint32_t>(*func) & 0xFFFFu);
  w32len = static_cast<uint16_t>(static_cast<uint32_t>(*len) & 0xFFFFu);
  w32retrn = static_cast<uint16_t>(static_cast<uint32_t>(*retrn) & 0xFFFFu);
  WinHLLAPI(&w32func, reinterpret_cast<unsigned char*>(buf), &w32len, &w32retrn);
  *len = static_cast<int>(w32len);
  *retrn = static_cast<int>(w32retrn);
  return 3;
}

// The start-up record: version word preset, description cleared.
int StartWinHllapi(uint16_t preset_version, uint16_t requested_version) {
  WHLLAPIDATA data;
  data.wVersion = preset_version;
  data.szDescription[0] = '\0';
  return WinHLLAPIStartup(requested_version, &data);
}

}  // namespace
}  // namespace adapters
