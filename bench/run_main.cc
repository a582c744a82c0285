// The tool's whole run, writing to a path of the caller's choice instead of
// the device's fixed output file.
#include <stdio.h>

#include "driver/run.h"

int main(int argc, char **argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s QA_FILE FACTORY_FILE OUTPUT_FILE\n", argv[0]);
    return 2;
  }
  char *run_argv[] = {argv[0], argv[1], argv[2], nullptr};
  return tavo::RunRimbolt(3, run_argv, argv[3]);
}
