// The old name of the SDL-free tests' temporary folder, for the test folders
// not yet moved to tests/support/temp_folder.h; goes with the last of them.
#pragma once
#include "tests/support/temp_folder.h"

namespace dexlora::testing_support {
using test::TempFolder;
}  // namespace dexlora::testing_support
