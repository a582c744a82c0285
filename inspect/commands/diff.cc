// diff: what differs between two calibration files as the tool reads
// them. Modes are matched by display and mode ID; attributes the reader
// does not read are not compared, since they never reach the tool.
#include <string.h>

#include <string>

#include "inspect/base/printer.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/compare.h"
#include "inspect/report/filter.h"
#include "inspect/report/report.h"

namespace inspect {

namespace {

// What a slot is to its output: a feature counts bytes and has a Disable,
// a LUT counts packets of 16 bytes.
struct SlotKind {
  const char *key;        // "type", "position"
  const char *size_name;  // "size", "packets"
  const char *unit_name;  // "byte", "packet"
  int64_t unit;
  bool disable;
  const char *line;  // the text before what changed
};

constexpr SlotKind kFeatureSlot = {"type", "size", "byte",
                                   1,      true,   "  feature {type:-8} "};
constexpr SlotKind kLutSlot = {"position", "packets", "packet",
                               16,         false,     "LUT {position:-14} "};

// A size in |unit|s, or a byte or offset (|unit| 1); none where the side
// has none there (-1).
std::optional<int64_t> Known(int64_t value, int64_t unit = 1) {
  if (value < 0) return std::nullopt;
  return value / unit;
}

// The bytes listed of a changed payload, a LUT's by packet and byte, and
// how many more differ; null for a payload added or removed.
void PrintListed(const SlotChange &slot, const SlotKind &kind, Printer *out) {
  if (strcmp(slot.change, "changed") != 0) {
    out->Null("bytes");
    out->Null("bytes_left_out");
    return;
  }
  out->BeginList("bytes");
  for (const ByteChange &byte : slot.listed) {
    out->BeginObject();
    if (kind.unit == 1) {
      out->Int("offset", byte.offset);
    } else {
      out->Int("packet", byte.offset / kind.unit);
      out->Int("byte", byte.offset % kind.unit);
    }
    out->IntOrNull("old", Known(byte.old_byte));
    out->IntOrNull("new", Known(byte.new_byte));
    out->Line(kind.unit == 1 ? "    offset {offset}: {old:x} -> {new:x}"
                             : "    packet {packet} byte {byte}: {old:x} -> "
                               "{new:x}");
    out->EndObject();
  }
  out->EndList();
  int64_t left_out = slot.differing - static_cast<int64_t>(slot.listed.size());
  out->Int("bytes_left_out", left_out);
  if (left_out > 0) {
    out->Line(Format("    {bytes_left_out:#byte} more differ%s, not listed",
                     left_out == 1 ? "s" : ""));
  }
}

// The list |key| of |slots|. A feature's Disable is a fact where it was
// added or removed, or changed. The text names the slot's facts: "added,
// {new_size:#byte}, Disable {new_disable}", "changed, {old_size} ->
// {new_size:#byte}, {bytes_differing:#byte} differ from offset
// {first_difference}".
void PrintSlots(const char *key, const std::vector<SlotChange> &slots,
                const SlotKind &kind, bool bytes, Printer *out) {
  out->BeginList(key);
  for (const SlotChange &slot : slots) {
    bool compared = strcmp(slot.change, "changed") == 0;
    out->BeginObject();
    out->Int(kind.key, slot.slot);
    out->String("change", slot.change);
    out->IntOrNull(Format("old_%s", kind.size_name).c_str(),
                   Known(slot.old_side.size, kind.unit));
    out->IntOrNull(Format("new_%s", kind.size_name).c_str(),
                   Known(slot.new_side.size, kind.unit));
    out->IntOrNull("bytes_differing", Known(compared ? slot.differing : -1));
    out->IntOrNull("first_difference", Known(slot.first));
    // Added or removed: what the side that has the slot holds.
    const char *side = strcmp(slot.change, "added") == 0 ? "new" : "old";
    std::string line =
        compared ? Format("changed, {old_%s} -> {new_%s:#%s}", kind.size_name,
                          kind.size_name, kind.unit_name)
                 : Format("%s, {%s_%s:#%s}", slot.change, side, kind.size_name,
                          kind.unit_name);
    if (compared && slot.differing > 0) {
      line += Format(
          ", {bytes_differing:#byte} differ%s from offset "
          "{first_difference}",
          slot.differing == 1 ? "s" : "");
    }
    if (kind.disable && (!compared || slot.old_disable != slot.new_disable)) {
      if (slot.old_side.size >= 0) out->Bool("old_disable", slot.old_disable);
      if (slot.new_side.size >= 0) out->Bool("new_disable", slot.new_disable);
      line += compared ? ", Disable {old_disable} -> {new_disable}"
                       : Format(", Disable {%s_disable}", side);
    }
    out->Line(kind.line + line);
    if (bytes) PrintListed(slot, kind, out);
    out->EndObject();
  }
  out->EndList();
}

void PrintAttributes(const std::vector<AttributeChange> &attributes,
                     const char *line, Printer *out) {
  out->BeginList("attributes");
  for (const AttributeChange &attribute : attributes) {
    out->BeginObject();
    out->String("name", attribute.name);
    out->String("old", attribute.old_text);
    out->String("new", attribute.new_text);
    out->Line(line);
    out->EndObject();
  }
  out->EndList();
}

// Under a filter the values of the file and the LUTs are not compared, and
// how many modes were, on each side, is said instead.
void PrintSelected(const Selection &selection, const CalibFile &old_file,
                   const CalibFile &new_file, Printer *out) {
  out->Null("attributes");
  out->BeginObject("modes_selected");
  int old_count = selection.CountModes(*old_file.modes);
  int new_count = selection.CountModes(*new_file.modes);
  out->Int("old", old_count);
  out->Int("new", new_count);
  out->Line("Compared: what " + FilterText(selection) + " selects, " +
            (old_count + new_count == 0
                 ? "no mode in OLD or NEW"
                 : "{old:#mode} in OLD and {new} in NEW"));
  out->Text(
      Format("Not compared under a filter: %sDefaultMode, NumLuts and LUTs",
             selection.feature.has_value() ? "mode attributes, " : ""));
  out->EndObject();
}

// The default of --max.
constexpr int kBytesListed = 20;

std::string CheckDiff(const Args &args) {
  return args.Has("--max") && !args.Has("--bytes") ? "--max goes with --bytes"
                                                   : "";
}

int Diff(const Args &args) {
  bool json = args.Has("--json");
  bool bytes = args.Has("--bytes");
  std::unique_ptr<CalibFile> old_file = ReadCalibFile(FilesOf(args)[0]);
  std::unique_ptr<CalibFile> new_file = ReadCalibFile(FilesOf(args)[1]);
  if (ReportUnreadable({old_file.get(), new_file.get()}, json)) {
    return kExitTrouble;
  }
  Selection selection = SelectionFrom(args);
  Differences differences =
      Compare(*old_file, *new_file, selection,
              bytes ? args.Number("--max").value_or(kBytesListed) : 0);
  std::unique_ptr<Printer> printer = MakePrinter(json);
  Printer *out = printer.get();
  out->BeginObject();
  if (selection.IsFiltered()) {
    PrintSelected(selection, *old_file, *new_file, out);
  } else {
    PrintAttributes(differences.file, "{name:-18} {old:q} -> {new:q}", out);
  }
  out->BeginList("modes");
  for (const ModeChange &mode : differences.modes) {
    out->BeginObject();
    out->Int("display_id", mode.mode->disp_id);
    out->Int("mode_id", mode.mode->mode_id);
    out->String("name", mode.mode->name);
    out->String("change", mode.change);
    out->Line("Mode {mode_id} on display {display_id} {name:q}: {change}");
    PrintAttributes(mode.attributes, "  {name:-16} {old:q} -> {new:q}", out);
    PrintSlots("features", mode.features, kFeatureSlot, bytes, out);
    out->EndObject();
  }
  out->EndList();
  if (selection.IsFiltered()) {
    out->Null("luts");
  } else {
    PrintSlots("luts", differences.luts, kLutSlot, bytes, out);
  }
  out->EndObject();
  out->Finish();
  return differences.empty() ? kExitNothing : kExitFound;
}

}  // namespace

const Command kDiffCommand = {
    {"diff",
     {"--json", "--display", "--mode", "--feature", "--bytes", "--max"},
     2,
     2,
     "diff takes OLD and NEW",
     CheckDiff},
    "diff [--json] [FILTERS] [--bytes [--max N]] OLD NEW",
    "what differs between OLD and NEW as rimbolt reads them",
    Diff,
};

}  // namespace inspect
