#pragma once

namespace modMain {

// The program's start-up procedure, called once by the toolkit's run-time.
void Main();

}  // namespace modMain
