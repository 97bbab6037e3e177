// The seam between the toolkit and a screen. Widgets never see a Display:
// the window manager composes a CellGrid and hands it over once per update.
#pragma once

#include <vector>

#include "toolkit/cell.h"
#include "toolkit/event.h"

namespace tk {

class Display {
 public:
  virtual ~Display() = default;

  virtual Size GetSize() const = 0;
  // Show the composed screen; a back-end sends only what changed since the
  // last call (or everything after ForceRepaint).
  virtual void Show(const CellGrid& screen) = 0;
  virtual void ForceRepaint() {}
  virtual void SetCursor(Point p, bool visible) = 0;
  virtual void Beep() = 0;

  // Input. ReadInput never blocks: it hands out one event if the back-end
  // has one ready. InputFds lists descriptors that become readable when
  // ReadInput may have something; the event queue sleeps in poll() on them.
  virtual bool ReadInput(Event& out) = 0;
  virtual std::vector<int> InputFds() const = 0;
  // The same on Windows, where the console's input is a handle (a HANDLE
  // that is signalled while input waits); the queue waits on them there.
  virtual std::vector<void*> InputHandles() const { return {}; }
};

}  // namespace tk
