// inject: a calibration file with one payload set from a binary file, and
// nothing else in its bytes changed; checked with the tool's own reader
// before anything is written.
#include <stdio.h>

#include <utility>

#include "calib_db/xml_database_test.h"
#include "inspect/base/output.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/commands/refusals.h"
#include "inspect/edit/edited_copy.h"
#include "inspect/edit/splice.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/payload.h"

namespace inspect {

namespace {

// Why |size| bytes cannot be the payload that |selection| names, or "".
std::string SizeProblem(const PayloadSelection &selection, size_t size,
                        const std::string &from) {
  if (selection.is_lut && size % tavo::kPccPacketSize != 0) {
    return Format("%s holds %zu bytes, not a whole number of %u-byte packets",
                  from.c_str(), size, tavo::kPccPacketSize);
  }
  // A feature holds at most so many bytes, a LUT so many packets.
  size_t units = selection.is_lut ? size / tavo::kPccPacketSize : size;
  if (units <= tavo::kMaxPayloadSize) return "";
  return Format("%s holds %zu %s; a %s holds at most %u", from.c_str(), units,
                selection.is_lut ? "packets" : "bytes",
                selection.is_lut ? "LUT" : "feature", tavo::kMaxPayloadSize);
}

std::string CheckInject(const Args &args) {
  std::string problem = PayloadAddressProblem(args);
  if (!problem.empty()) return problem;
  if (!args.Has("--from")) return "inject needs --from BIN";
  if (!args.Has("-o")) return "inject needs -o OUT";
  if (args.Text("--from") == "-" && FilesOf(args)[0] == "-") {
    return "inject cannot read both FILE and BIN from standard input";
  }
  return "";
}

int Inject(const Args &args) {
  const std::string path = FilesOf(args)[0];
  const std::string from = args.Text("--from");
  const std::string output = args.Text("-o");
  if (RefusesSameFile(args, output, {path, from}, "inject only reads")) {
    return kExitTrouble;
  }
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  if (RefusesUnreadable(args, *file)) return kExitTrouble;
  PayloadSelection selection;
  std::string problem =
      SelectPayload(*file, PayloadAddressFrom(args), true, &selection);
  if (!problem.empty()) return NothingWritten(args, problem);
  // Only what the reader made of the file is compared after: its document
  // need not stay beside the file's bytes and their parse.
  LetGoOfDocument(file.get());
  std::string bytes, payload;
  for (const auto &[name, content] :
       {std::pair{path, &bytes}, std::pair{from, &payload}}) {
    problem = ReadWholeFile(name, content);
    if (!problem.empty()) {
      return NothingWritten(args, name + " cannot be read: " + problem);
    }
  }
  if (payload.empty() && !args.Has("--allow-empty")) {
    return NothingWritten(args,
                          Format("%s is empty: nothing to inject; give "
                                 "--allow-empty to set a payload of 0 bytes",
                                 from.c_str()));
  }
  problem = SizeProblem(selection, payload.size(), from);
  if (!problem.empty()) return NothingWritten(args, problem);
  Splice splice;
  problem = SplicePayload(std::move(bytes), selection,
                          reinterpret_cast<const uint8_t *>(payload.data()),
                          payload.size(), &splice);
  if (!problem.empty()) {
    return NothingWritten(
        args, Format("%s cannot be set in %s: %s", selection.what.c_str(),
                     path.c_str(), problem.c_str()));
  }
  EditedCopy copy;
  problem = copy.Keep(&splice.bytes);
  if (problem.empty())
    problem = copy.ReadBack(*file, selection, payload, splice);
  if (!problem.empty()) {
    return NothingWritten(
        args, Format("with %s set, %s does not read back as it should: %s",
                     selection.what.c_str(), path.c_str(), problem.c_str()));
  }
  if (NotWritten(args, output, copy.WriteTo(output))) return kExitTrouble;
  // Said, since nothing in the output shows that no byte was set.
  if (splice.unchanged) {
    fprintf(stderr,
            "inject: %s already holds the %s of %s: wrote %s unchanged, "
            "byte for byte, to %s\n",
            selection.what.c_str(), Count(payload.size(), "byte").c_str(),
            from.c_str(), path.c_str(), OutputName(output).c_str());
  }
  return kExitNothing;
}

}  // namespace

const Command kInjectCommand = {
    {"inject",
     {"--display", "--mode", "--feature", "--lut", "-o", "--from",
      "--allow-empty"},
     1,
     1,
     "inject takes one FILE",
     CheckInject},
    "inject FILE PAYLOAD --from BIN [--allow-empty] -o OUT",
    "FILE with one payload set from the bytes of BIN, the rest\n"
    "             of the file as it was",
    Inject,
};

}  // namespace inspect
