#pragma once

namespace forms {

// Marks a modal box or dialog of ours as open for as long as it lives: made
// just before the system is asked to show one, gone when that call has
// returned. Meanwhile no form closes (Form refuses close requests): the box's
// owner is under it, and the box would die with it.
class ModalBoxScope {
 public:
  ModalBoxScope() noexcept;
  ~ModalBoxScope();
  ModalBoxScope(const ModalBoxScope&) = delete;
  ModalBoxScope& operator=(const ModalBoxScope&) = delete;

  static bool AnyOpen() noexcept;
};

}  // namespace forms
