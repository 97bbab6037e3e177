#include "tests/hostlink/fake_adapter.h"

#include <cstring>

namespace {

FakeAdapterState g_state;

void PutLe16(char* p, int v) {
  p[0] = static_cast<char>(v & 0xff);
  p[1] = static_cast<char>((v >> 8) & 0xff);
}

size_t DataBytes(int function, const char* data, int length) {
  switch (function) {
    case 5:
    case 10:
    case 22: return 0;  // output buffers
    case 2: return 1;
    default: break;
  }
  if (length > 0) return static_cast<size_t>(length);
  return data ? strnlen(data, 64) : 0;
}

}  // namespace

extern "C" {

FakeAdapterState* fake_adapter_state() { return &g_state; }

int QOR_CALL QOR_HLLAPI(int* func, char* data, int* len, int* retrn) {
  FakeAdapterState& s = g_state;
  s.calls.push_back({*func, std::string(data, DataBytes(*func, data, *len)), *len, *retrn});
  switch (*func) {
    case 1: *retrn = s.connect_rc; break;
    case 2:
    case 21: *retrn = 0; break;
    case 3: {
      int rc = 0;
      if (!s.send_key_rcs.empty()) {
        rc = s.send_key_rcs.front();
        s.send_key_rcs.erase(s.send_key_rcs.begin());
      }
      std::string key(data, static_cast<size_t>(*len));
      bool aid = key.size() >= 2 && key[0] == '@' && key != "@R";
      if (rc == 0 && aid && !s.screens_after_key.empty()) {
        s.screen = s.screens_after_key.front();
        s.screens_after_key.erase(s.screens_after_key.begin());
      }
      *retrn = rc;
      break;
    }
    case 4: *retrn = s.wait_rc; break;
    case 5:
      std::memcpy(data, s.screen.data(), s.screen.size());
      *len = static_cast<int>(s.screen.size());
      *retrn = s.copy_rc;
      break;
    case 9: *retrn = 0; break;
    case 10:
      std::memset(data, 0, 12);
      data[0] = 'A';
      *len = s.sessions;
      *retrn = 0;
      break;
    case 15: {
      if (s.write_rc == 0) {
        size_t pos = static_cast<size_t>(*retrn > 0 ? *retrn - 1 : 0);
        size_t n = static_cast<size_t>(*len);
        if (pos < s.screen.size())
          s.screen.replace(pos, std::min(n, s.screen.size() - pos), data,
                           std::min(n, s.screen.size() - pos));
      }
      *retrn = s.write_rc;
      break;
    }
    case 18: *retrn = s.pause_rc; break;
    case 22:
      std::memset(data + 1, 0, static_cast<size_t>(*len - 1));
      if (*len == 20) {
        if (s.novell_status) {
          PutLe16(data + 12, s.rows);
          PutLe16(data + 14, s.columns);
          PutLe16(data + 16, 0);
        } else {
          PutLe16(data + 14, s.rows);
          PutLe16(data + 16, s.columns);
        }
      } else {
        PutLe16(data + 11, s.rows);
        PutLe16(data + 13, s.columns);
      }
      *retrn = s.status_rc;
      break;
    case 120: *retrn = s.sf_connect_rc; break;
    case 121: *retrn = s.sf_disconnect_rc; break;
    case 125:
      if (s.sf_complete_38_times > 0) {
        --s.sf_complete_38_times;
        *retrn = 38;
      } else {
        *retrn = 0;
        PutLe16(data + 12, s.sf_completion_code);
      }
      break;
    default: *retrn = 1; break;
  }
  return 3;
}

int QOR_CALL QOR_INIT() {
  ++g_state.init_calls;
  return 0;
}
int QOR_CALL QOR_TERM() {
  ++g_state.term_calls;
  return 0;
}

#ifdef FAKE_WITH_LOOP
int QOR_CALL QOR_LOOP(int(QOR_CALL* callback)(int)) {
  g_state.loop_callback = callback;
  ++g_state.loop_registrations;
  return 0;
}
#endif

}  // extern "C"
