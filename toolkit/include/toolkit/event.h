// Events: one small value type for everything the queue carries.
#pragma once

#include <string>

namespace tk {

enum class EventKind {
  kNone,
  kKey,        // code: key code (keys.h)
  kMouse,      // code: MouseAction; x, y: screen cell; param: button (1 left, 2 middle, 3 right)
  kCommand,    // code: command number; param, text: payload (for lists: entry index and text)
  kClose,      // a window's close request (system button, Esc without Cancel)
  kQuit,       // the program-end request
  kRedisplay,  // code: kRepaint or kResized
  kFdReady,    // code: a watched file descriptor that became ready (EventQueue::Watch)
};

enum MouseAction {
  kMousePress = 1,
  kMouseRelease,
  kMouseDoubleClick,
  kMouseWheelUp,
  kMouseWheelDown
};
enum RedisplayReason { kRepaint = 0, kResized = 1 };

struct Event {
  EventKind kind = EventKind::kNone;
  int code = 0;
  int x = 0;
  int y = 0;
  int param = 0;
  int target = 0;  // window id the event is meant for; 0: the front window
  std::string text;

  static Event Make(EventKind kind, int code, int target = 0) {
    Event e;
    e.kind = kind;
    e.code = code;
    e.target = target;
    return e;
  }
  static Event Key(int code) { return Make(EventKind::kKey, code); }
  static Event Mouse(int action, int x, int y, int button = 1) {
    Event e = Make(EventKind::kMouse, action);
    e.x = x;
    e.y = y;
    e.param = button;
    return e;
  }
  static Event Command(int code, int target = 0, int param = 0, std::string text = {}) {
    Event e = Make(EventKind::kCommand, code, target);
    e.param = param;
    e.text = std::move(text);
    return e;
  }
  static Event Close(int target = 0) { return Make(EventKind::kClose, 0, target); }
  static Event Quit() { return Make(EventKind::kQuit, 0); }
  static Event Redisplay(int reason = kRepaint) { return Make(EventKind::kRedisplay, reason); }
  static Event FdReady(int fd) { return Make(EventKind::kFdReady, fd); }
};

const char* EventKindName(EventKind k);

}  // namespace tk
