#pragma once

namespace forms {

// The screen-wide mouse pointer of the application: while it is not the
// default, every window of the program shows it.
enum class MousePointer { Default = 0, Hourglass = 11 };

void SetMousePointer(MousePointer pointer);
MousePointer CurrentMousePointer();

// Called from the toolkit's WM_SETCURSOR handling; true when it set the cursor.
bool ApplyMousePointer();

}  // namespace forms
