// A calibration file as the tool reads it, through the tool's own reader.
#ifndef INSPECT_MODEL_CALIB_FILE_H_
#define INSPECT_MODEL_CALIB_FILE_H_

#include <stdint.h>

#include <memory>
#include <string>

#include "calib_db/xml_database_test.h"
#include "inspect/base/input_limit.h"

namespace inspect {

struct CalibFile {
  std::string path;
  std::unique_ptr<tavo::XmlDatabaseTest> db;
  // Null when the reader refused the file; see |problem|.
  std::unique_ptr<tavo::DispModes> modes;
  // The LUT set, owned by |db| (by |kept_luts| after LetGoOfDocument);
  // null when the modes were refused, since the tool then reads no LUT
  // either.
  tavo::DispLuts *luts = nullptr;
  std::unique_ptr<tavo::DispLuts> kept_luts;
  // Why the modes were refused, in the tool's own words, with the
  // system's reason when the file cannot be opened; "" when read.
  std::string problem;
  // The tool opens no file at |path| at all (a path longer than it
  // keeps), so what is there says nothing of what it does.
  bool unopened = false;
  // What the LUT reader logged while reading the set; "" when nothing.
  std::string lut_problem;
  // The parser's own name of the error that made it refuse the file
  // ("XML_ERROR_PARSING_TEXT"), set by check, which parses the file again
  // for the error's line and words; "" otherwise.
  std::string parser_error;
};

// Reads |path| as the tool reads its QA file: loads it, reads its modes and
// then its LUTs, with the reader's log taken rather than printed. A |path|
// of "-" is standard input (read once for the process, whoever asks), named
// "-" in |path| and in the problems. A file of more than kMaxInputBytes is
// not read at all (TooLargeProblem).
std::unique_ptr<CalibFile> ReadCalibFile(const std::string &path);

// Releases the reader (|db|) and the document it read, which is as large
// as the file, keeping |modes| and |luts| as they are: the LUTs, the same
// objects, move into a set of |file|'s own. Where that set cannot be made,
// the reader is kept. Nothing of |file| may point into the document after.
void LetGoOfDocument(CalibFile *file);

// Reads the whole file at |path| ("-": standard input, as ReadCalibFile
// has it) into |bytes|. Returns "" when it could, else the system's reason
// ("Permission denied", "Is a directory"), or kTooLarge for a file of more
// than |limit| bytes, of which no more than that is read. |limit| is
// kMaxInputBytes but in tests.
std::string ReadWholeFile(const std::string &path, std::string *bytes,
                          uint64_t limit = kMaxInputBytes);

// What is said of |path| when it holds more than kMaxInputBytes: "the
// file is larger than 1 GiB, ...", or "standard input is ..." for "-".
std::string TooLargeProblem(const std::string &path);

// The LUT in slot |position| of |file|'s set, or null. The reader fills
// slots with PCC LUTs only.
const tavo::DispLut<tavo::PccLut> *LutAt(const CalibFile &file, int position);

}  // namespace inspect

#endif  // INSPECT_MODEL_CALIB_FILE_H_
