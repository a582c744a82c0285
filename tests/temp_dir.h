// A private temporary folder for tests and benchmarks.
#ifndef TESTS_TEMP_DIR_H_
#define TESTS_TEMP_DIR_H_

#include "calib_db/temp_folder.h"

namespace rimbolt_test {

using tavo::TempBase;
using TempDir = tavo::TempFolder;

}  // namespace rimbolt_test

#endif  // TESTS_TEMP_DIR_H_
