#include "driver/run.h"

int main(int argc, char **argv) {
  return tavo::RunRimbolt(argc, argv, tavo::kOutputPath);
}
