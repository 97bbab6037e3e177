/* A stand-in vendor library that records what an adapter hands it and
 * answers with preset words. Built once per vendor file name. */
#include <stdint.h>
#include <string.h>

#include "platform/calling_convention.h"

typedef struct {
  uint16_t wVersion;
  char szDescription[129];
} WHLLAPIDATA;

typedef struct {
  int startups, calls, cleanups;
  uint32_t function, length, return_code;
  uint32_t requested_version, preset_version;
  int description_first;
  const void *function_at, *length_at, *return_code_at, *data;
} FakeRecord;

static FakeRecord record;
static int reply_set;
static uint32_t reply_length, reply_code;
static int startup_result;

const FakeRecord* fake_record(void) { return &record; }
void fake_reply(uint32_t length, uint32_t code) {
  reply_set = 1;
  reply_length = length;
  reply_code = code;
}
void fake_startup_result(int result) { startup_result = result; }

int QOR_CALL WinHLLAPIStartup(uint16_t version_required, WHLLAPIDATA* data) {
  record.startups++;
  record.requested_version = version_required;
  record.preset_version = data->wVersion;
  record.description_first = (unsigned char)data->szDescription[0];
  return startup_result;
}

void QOR_CALL WinHLLAPI(uint16_t* function, unsigned char* data, uint16_t* length,
                        uint16_t* return_code) {
  record.calls++;
  record.function = *function;
  record.length = *length;
  record.return_code = *return_code;
  record.function_at = function;
  record.length_at = length;
  record.return_code_at = return_code;
  record.data = data;
  if (reply_set) {
    *length = (uint16_t)reply_length;
    *return_code = (uint16_t)reply_code;
  }
}

int QOR_CALL WinHLLAPICleanup(void) {
  record.cleanups++;
  return 1;
}

void QOR_CALL hllapi(int32_t* function, char* data, int32_t* length, int32_t* return_code) {
  record.calls++;
  record.function = (uint32_t)*function;
  record.length = (uint32_t)*length;
  record.return_code = (uint32_t)*return_code;
  record.function_at = function;
  record.length_at = length;
  record.return_code_at = return_code;
  record.data = data;
  if (reply_set) {
    *length = (int32_t)reply_length;
    *return_code = (int32_t)reply_code;
  }
}
