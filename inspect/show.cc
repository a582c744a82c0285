// show: what the tool reads from a file, after its own rules.
#include <stdio.h>

#include "inspect/calib_file.h"
#include "inspect/commands.h"
#include "inspect/json.h"
#include "inspect/report.h"
#include "inspect/text.h"

namespace inspect {

namespace {

const char *YesNo(bool value) { return value ? "yes" : "no"; }

void ShowModeJson(const tavo::DispMode &mode, JsonWriter *json) {
  json->BeginObject();
  json->Key("mode_id").Int(mode.mode_id);
  json->Key("display_id").Int(mode.disp_id);
  json->Key("name").String(mode.name);
  json->Key("is_default").Bool(mode.is_default_mode);
  json->Key("is_app_mode").Bool(mode.is_app_mode);
  json->Key("dynamic_range").String(mode.dynamic_range);
  json->Key("color_gamut").String(mode.color_gamut);
  json->Key("picture_quality").String(mode.picture_quality);
  json->Key("render_intent").Int(mode.render_intent);
  json->Key("is_merge").Bool(mode.is_merge);
  json->Key("features").BeginArray();
  for (const tavo::DispFeature *feature : mode.features) {
    if (feature == nullptr) continue;
    json->BeginObject();
    json->Key("type").Int(feature->type);
    json->Key("size").Int(feature->size);
    json->Key("disable").Bool(feature->disable);
    json->EndObject();
  }
  json->EndArray().EndObject();
}

void ShowJson(const CalibFile &file) {
  JsonWriter json;
  json.BeginObject();
  json.Key("file").String(file.path);
  json.Key("num_modes").Int(file.modes->num_modes);
  json.Key("default_mode").Int(file.modes->default_mode);
  json.Key("modes").BeginArray();
  for (uint32_t i = 0; i < file.modes->num_modes; ++i) {
    ShowModeJson(file.modes->modes[i], &json);
  }
  json.EndArray();
  json.Key("luts").BeginObject();
  json.Key("num_luts").Int(file.luts != nullptr ? file.luts->num_luts : 0);
  json.Key("slots").BeginArray();
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
    if (slot == nullptr) continue;
    json.BeginObject();
    json.Key("position").Int(position);
    json.Key("type").Int(slot->type);
    json.Key("packets").Int(slot->lut != nullptr ? slot->lut->num_packets : 0);
    json.EndObject();
  }
  json.EndArray().EndObject().EndObject();
  fputs(json.Text().c_str(), stdout);
}

void ShowModeText(const tavo::DispMode &mode) {
  printf("\nMode %d on display %d: %s\n", mode.mode_id, mode.disp_id,
         Quote(mode.name).c_str());
  printf("  default %s, app mode %s, merge %s, render intent %d\n",
         YesNo(mode.is_default_mode), YesNo(mode.is_app_mode),
         YesNo(mode.is_merge), mode.render_intent);
  printf("  dynamic range %s, colour gamut %s, picture quality %s\n",
         Quote(mode.dynamic_range).c_str(), Quote(mode.color_gamut).c_str(),
         Quote(mode.picture_quality).c_str());
  bool header = false;
  for (const tavo::DispFeature *feature : mode.features) {
    if (feature == nullptr) continue;
    if (!header) printf("  %7s  %6s  %s\n", "FEATURE", "SIZE", "DISABLED");
    header = true;
    printf("  %7u  %6u  %s\n", feature->type, feature->size,
           YesNo(feature->disable));
  }
  if (!header) puts("  no features");
}

void ShowText(const CalibFile &file) {
  printf("%s: %s, default mode %d\n", file.path.c_str(),
         Count(file.modes->num_modes, "mode").c_str(),
         file.modes->default_mode);
  for (uint32_t i = 0; i < file.modes->num_modes; ++i) {
    ShowModeText(file.modes->modes[i]);
  }
  printf("\nLUTs: %u declared\n",
         file.luts != nullptr ? file.luts->num_luts : 0);
  bool header = false;
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
    if (slot == nullptr) continue;
    if (!header) printf("  %8s  %4s  %7s\n", "POSITION", "TYPE", "PACKETS");
    header = true;
    printf("  %8d  %4d  %7u\n", position, slot->type,
           slot->lut != nullptr ? slot->lut->num_packets : 0);
  }
  if (!header) puts("  no LUT read");
}

}  // namespace

int Show(const Options &options) {
  const std::string &path = options.files[0];
  bool json = options.json;
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  if (ReportUnreadable({file.get()}, json)) return kExitTrouble;
  if (json) {
    ShowJson(*file);
  } else {
    ShowText(*file);
  }
  return kExitNothing;
}

}  // namespace inspect
