#pragma once
#include <string>

namespace forms {

// The process's current directory, as the system gives it.
std::wstring CurDir();

}  // namespace forms
