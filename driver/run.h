// The whole run of the tool, from the command line to the exit status.
#ifndef DRIVER_RUN_H_
#define DRIVER_RUN_H_

namespace tavo {

// Where the combined modes are written on a device.
constexpr char kOutputPath[] = "/data/display-tests/combined_modes.xml";

// Combines the modes of the QA and factory files named in |argv| and writes
// them to |output_path|. Returns 0 on success (and after the usage text),
// tavo::kFailure on any failure.
int RunRimbolt(int argc, char **argv, const char *output_path);

}  // namespace tavo

#endif  // DRIVER_RUN_H_
