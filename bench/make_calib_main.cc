// Writes the benchmark's calibration files into a folder, for profiling a
// run by hand: make_calib_files DIR [MODES].
#include <stdio.h>
#include <stdlib.h>

#include "bench/calib_gen.h"

int main(int argc, char **argv) {
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: %s DIR [MODES]\n", argv[0]);
    return 2;
  }
  rimbolt_bench::CalibShape shape;
  if (argc == 3) shape.modes = atoi(argv[2]);
  if (shape.modes < 1 || shape.modes > 1024) {
    fprintf(stderr, "MODES must be 1 to 1024\n");
    return 2;
  }
  rimbolt_bench::CalibFiles files;
  if (!rimbolt_bench::WriteCalibFiles(argv[1], shape, &files)) {
    fprintf(stderr, "cannot write the files into %s\n", argv[1]);
    return 1;
  }
  printf("%s (%llu bytes)\n%s (%llu bytes)\n", files.qa.c_str(),
         static_cast<unsigned long long>(files.qa_bytes),
         files.factory.c_str(),
         static_cast<unsigned long long>(files.factory_bytes));
  return 0;
}
