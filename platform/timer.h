#pragma once

#include <functional>

#include "platform/control.h"

namespace tambrel::platform {

class Timer : public Control {
 public:
  using Control::Control;

  virtual int Interval() const = 0;  // milliseconds
  virtual void SetInterval(int milliseconds) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void OnTimer(std::function<void()> handler) = 0;
};

}  // namespace tambrel::platform
