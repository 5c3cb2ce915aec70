#include "forms/modal_box.h"

namespace forms {
namespace {

int openBoxes = 0;  // a count: a run-time error box may come up over another box

}  // namespace

ModalBoxScope::ModalBoxScope() noexcept { ++openBoxes; }

ModalBoxScope::~ModalBoxScope() { --openBoxes; }

bool ModalBoxScope::AnyOpen() noexcept { return openBoxes > 0; }

}  // namespace forms
