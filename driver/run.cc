#include "driver/run.h"

#include <stdio.h>

#include "calib_db/xml_database_test.h"

namespace tavo {

namespace {

constexpr int kExpectedArgc = 3;

void PrintUsage(int argc) {
  printf("Invalid arguments num %d , it should be %d\n", argc, kExpectedArgc);
  puts("\n============== Usage Details =================");
  puts("expected usage: rimbolt <QA modes xml file> <factory modes xml file>");
  putchar('\n');
}

// Offers every QA mode to the interface with each factory mode in turn,
// until one pair combines.
void CombineModes(CombineModeInterface *combiner, DispModes *qa_modes,
                  DispModes *factory_modes) {
  for (uint32_t i = 0; i < qa_modes->num_modes; ++i) {
    DispMode *qa_mode = &qa_modes->modes[i];
    for (uint32_t j = 0; j < factory_modes->num_modes; ++j) {
      DispMode *factory_mode = &factory_modes->modes[j];
      if (combiner->CombineMode(qa_mode, factory_mode) == 0) {
        printf("Successful to combine mode: [%s] with [%s]\n", qa_mode->name,
               factory_mode->name);
        break;
      }
      printf("Failed to combine mode: [%s] with [%s]\n", qa_mode->name,
             factory_mode->name);
    }
  }
}

// Writes the QA modes and LUTs into the output file. Returns the run's
// status.
int WriteOutput(XmlDatabaseTest *output, DispModes *qa_modes, DispLuts *luts,
                const char *output_path) {
  if (output->EditFile() != 0) {
    printf("Failed to open file: %s for Edit.\n", output_path);
    return kFailure;
  }
  if (output->AddModes(qa_modes) != 0) {
    puts("Failed to add the given list of modes to file.");
    return kFailure;
  }
  if (luts != nullptr) {
    // A LUT that cannot be written is logged and does not keep the modes
    // from being saved.
    output->AddLuts(luts);
  }
  if (output->SaveAndCloseFile() != 0) {
    printf("Failed to save combined modes file.");
    return kFailure;
  }
  printf("Combined modes write to: %s successfully\n", output_path);
  return 0;
}

// Reads both mode lists, combines them and writes the output. Releases the
// lists it read; the databases stay the caller's.
int CombineFiles(CombineModeInterface *combiner, XmlDatabaseTest *qa,
                 XmlDatabaseTest *factory, XmlDatabaseTest *output,
                 const char *output_path) {
  if (qa->LoadFile() != 0) return kFailure;
  DispModes *qa_modes = qa->ReadModes();
  if (qa_modes == nullptr) {
    puts("Failed to enumerate modes from the file");
    return kFailure;
  }

  int status = kFailure;
  DispModes *factory_modes = nullptr;
  if (factory->LoadFile() == 0) {
    factory_modes = factory->ReadModes();
    if (factory_modes == nullptr) {
      puts("Failed to enumerate modes from the file");
    } else {
      CombineModes(combiner, qa_modes, factory_modes);
      DispLuts *luts = qa->GetLuts();
      status = WriteOutput(output, qa_modes, luts, output_path);
    }
  }
  delete qa_modes;
  delete factory_modes;
  return status;
}

}  // namespace

int RunRimbolt(int argc, char **argv, const char *output_path) {
  if (argc != kExpectedArgc) {
    PrintUsage(argc);
    return 0;
  }

  bool enable = false;
  CombineModeInterface *combiner = GetCombineModeInterface(&enable);
  if (combiner == nullptr) {
    puts("Failed to create CombineModeInterface");
    return kFailure;
  }
  if (!enable) {
    printf("Mode combined doesn't support, enable is %d\n", 0);
    delete combiner;
    return kFailure;
  }

  XmlDatabaseTest *qa = new XmlDatabaseTest(kFileTypeQa, argv[1]);
  XmlDatabaseTest *factory = new XmlDatabaseTest(kFileTypeFactory, argv[2]);
  XmlDatabaseTest *output = new XmlDatabaseTest(kFileTypeFactory, output_path);

  int status = CombineFiles(combiner, qa, factory, output, output_path);

  qa->CloseFile();
  factory->CloseFile();
  output->CloseFile();
  delete qa;
  delete factory;
  delete output;
  delete combiner;
  return status;
}

}  // namespace tavo
