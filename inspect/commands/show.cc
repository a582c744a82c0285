// show: what the tool reads from a file, after its own rules.

#include "inspect/base/crc32.h"
#include "inspect/base/printer.h"
#include "inspect/base/text.h"
#include "inspect/commands/command_table.h"
#include "inspect/model/calib_file.h"
#include "inspect/report/filter.h"
#include "inspect/report/report.h"

namespace inspect {

namespace {

// The CRC-32 of a payload, or null where the colour library holds no bytes
// for it although it has a size.
void PrintCrc(const uint8_t *bytes, uint64_t size, Printer *out) {
  if (bytes == nullptr && size > 0) {
    out->Null("crc32");
  } else {
    out->String("crc32", Crc32Text(bytes, size));
  }
}

void PrintMode(const Selection &selection, const tavo::DispMode &mode,
               Printer *out) {
  out->BeginObject();
  out->Int("mode_id", mode.mode_id);
  out->Int("display_id", mode.disp_id);
  out->String("name", mode.name);
  out->Bool("is_default", mode.is_default_mode);
  out->Bool("is_app_mode", mode.is_app_mode);
  out->String("dynamic_range", mode.dynamic_range);
  out->String("color_gamut", mode.color_gamut);
  out->String("picture_quality", mode.picture_quality);
  out->Int("render_intent", mode.render_intent);
  out->Bool("is_merge", mode.is_merge);
  out->Line("\nMode {mode_id} on display {display_id}: {name:q}");
  out->Line(
      "  default {is_default:y}, app mode {is_app_mode:y}, merge "
      "{is_merge:y}, render intent {render_intent}");
  out->Line(
      "  dynamic range {dynamic_range:q}, colour gamut {color_gamut:q}, "
      "picture quality {picture_quality:q}");
  out->BeginList("features", "  FEATURE    SIZE  DISABLED  CRC32",
                 selection.feature.has_value()
                     ? Format("  no feature of type %d", *selection.feature)
                     : "  no features");
  for (const tavo::DispFeature *feature : mode.features) {
    if (feature == nullptr || !selection.SelectsFeature(feature->type)) {
      continue;
    }
    out->BeginObject();
    out->Int("type", feature->type);
    out->Int("size", feature->size);
    out->Bool("disable", feature->disable);
    PrintCrc(feature->payload, feature->size, out);
    out->Line("  {type:7}  {size:6}  {disable:y8}  {crc32}");
    out->EndObject();
  }
  out->EndList();
  out->EndObject();
}

void PrintLuts(const CalibFile &file, Printer *out) {
  out->BeginObject("luts");
  out->Int("num_luts", file.luts != nullptr ? file.luts->num_luts : 0);
  out->Line("\nLUTs: {num_luts} declared");
  out->BeginList("slots", "  POSITION  TYPE  PACKETS  CRC32", "  no LUT read");
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
    if (slot == nullptr) continue;
    const tavo::PccLut *lut = slot->lut;
    out->BeginObject();
    out->Int("position", position);
    out->Int("type", slot->type);
    uint64_t packets = lut != nullptr ? lut->num_packets : 0;
    out->Int("packets", packets);
    PrintCrc(lut != nullptr ? lut->packets : nullptr,
             packets * tavo::kPccPacketSize, out);
    out->Line("  {position:8}  {type:4}  {packets:7}  {crc32}");
    out->EndObject();
  }
  out->EndList();
  out->EndObject();
}

// Under a filter only the modes selected, and no LUTs: they belong to no
// mode.
int Show(const Args &args) {
  bool json = args.Has("--json");
  std::unique_ptr<CalibFile> file = ReadCalibFile(FilesOf(args)[0]);
  if (ReportUnreadable({file.get()}, json)) return kExitTrouble;
  Selection selection = SelectionFrom(args);
  std::unique_ptr<Printer> out = MakePrinter(json);
  out->BeginObject();
  out->String("file", file->path);
  out->Int("num_modes", file->modes->num_modes);
  out->Int("default_mode", file->modes->default_mode);
  out->Line("{file}: {num_modes:#mode}, default mode {default_mode}");
  if (selection.IsFiltered()) {
    out->Text(SelectionText(selection, *file->modes));
  }
  out->BeginList("modes");
  for (uint32_t i = 0; i < file->modes->num_modes; ++i) {
    const tavo::DispMode &mode = file->modes->modes[i];
    if (selection.SelectsMode(mode)) PrintMode(selection, mode, out.get());
  }
  out->EndList();
  if (selection.IsFiltered()) {
    out->Null("luts");
    out->Text("\nLUTs: not shown, they belong to no mode");
  } else {
    PrintLuts(*file, out.get());
  }
  out->EndObject();
  out->Finish();
  return kExitNothing;
}

}  // namespace

const Command kShowCommand = {
    {"show",
     {"--json", "--display", "--mode", "--feature"},
     1,
     1,
     "show takes one FILE",
     nullptr},
    "show [--json] [FILTERS] FILE",
    "what rimbolt reads from FILE: modes, features and LUTs,\n"
    "             with a CRC-32 of each payload",
    Show,
};

}  // namespace inspect
