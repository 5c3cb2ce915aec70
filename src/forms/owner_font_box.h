#pragma once
#include "forms/message_box.h"

namespace forms {

// A modal box with the request's icon resource, its text and one OK button,
// all in the owner window's font (a form's, at its DPI) where a system message
// box would take the system's message font. For a short text; returns IDOK.
int ShowBoxInOwnerFont(const MessageBoxRequest& request);

}  // namespace forms
