// The main() of every test program: the programs' own start-up that tests
// rely on, then Google Test.
#include <gtest/gtest.h>

#include "formats/table_format_readers.h"

int main(int argc, char** argv) {
  RegisterTableFormatReaders();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
