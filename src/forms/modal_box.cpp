#include "forms/modal_box.h"

namespace forms {
namespace {

int openBoxes = 0;  // boxes may nest: an error box over the About box

}  // namespace

ModalBoxScope::ModalBoxScope() noexcept { ++openBoxes; }

ModalBoxScope::~ModalBoxScope() { --openBoxes; }

bool ModalBoxScope::AnyOpen() noexcept { return openBoxes > 0; }

}  // namespace forms
