#pragma once

namespace modMain {

// Fills in the application object: title, settings key.
void DescribeApplication();

}  // namespace modMain
