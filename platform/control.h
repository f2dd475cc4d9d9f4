#pragma once

#include <optional>
#include <string>

namespace tambrel::platform {

// One entry of the window's control collection. Visual controls have a position and size in
// twips, relative to the client area of whatever holds them; timers, the common dialog and menu
// entries have none, answer nullopt and refuse to move. Every control carries a free text Tag.
class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }

  virtual std::optional<float> Left() const { return std::nullopt; }
  virtual std::optional<float> Top() const { return std::nullopt; }
  virtual std::optional<float> Width() const { return std::nullopt; }
  virtual std::optional<float> Height() const { return std::nullopt; }

  // Places and sizes the control in one step, in twips. False when the control has no geometry.
  virtual bool Move(double /*left*/, double /*top*/, double /*width*/, double /*height*/) {
    return false;
  }

  const std::u16string& Tag() const { return tag_; }
  void SetTag(std::u16string tag) { tag_ = std::move(tag); }

 private:
  std::string name_;
  std::u16string tag_;
};

}  // namespace tambrel::platform
