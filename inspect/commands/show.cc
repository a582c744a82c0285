// show: what the tool reads from a file, after its own rules.
#include <stdio.h>

#include "inspect/base/crc32.h"
#include "inspect/base/json.h"
#include "inspect/base/text.h"
#include "inspect/commands/commands.h"
#include "inspect/model/calib_file.h"
#include "inspect/report/filter.h"
#include "inspect/report/report.h"

namespace inspect {

namespace {

const char *YesNo(bool value) { return value ? "yes" : "no"; }

// The CRC-32 of a payload as text, or "" when the colour library holds no
// bytes for it although it has a size.
std::string PayloadCrc(const uint8_t *bytes, uint64_t size) {
  if (bytes == nullptr && size > 0) return "";
  return Crc32Text(bytes, size);
}

std::string FeatureCrc(const tavo::DispFeature &feature) {
  return PayloadCrc(feature.payload, feature.size);
}

std::string LutCrc(const tavo::DispLut<tavo::PccLut> &slot) {
  if (slot.lut == nullptr) return PayloadCrc(nullptr, 0);
  return PayloadCrc(
      slot.lut->packets,
      static_cast<uint64_t>(slot.lut->num_packets) * tavo::kPccPacketSize);
}

void CrcJson(const std::string &crc, JsonWriter *json) {
  json->Key("crc32");
  if (crc.empty()) {
    json->Null();
  } else {
    json->String(crc);
  }
}

const char *CrcText(const std::string &crc) {
  return crc.empty() ? "--" : crc.c_str();
}

void ShowModeJson(const Options &options, const tavo::DispMode &mode,
                  JsonWriter *json) {
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
    if (feature == nullptr || !SelectsFeature(options, feature->type)) {
      continue;
    }
    json->BeginObject();
    json->Key("type").Int(feature->type);
    json->Key("size").Int(feature->size);
    json->Key("disable").Bool(feature->disable);
    CrcJson(FeatureCrc(*feature), json);
    json->EndObject();
  }
  json->EndArray().EndObject();
}

void LutsJson(const CalibFile &file, JsonWriter *json) {
  json->Key("luts").BeginObject();
  json->Key("num_luts").Int(file.luts != nullptr ? file.luts->num_luts : 0);
  json->Key("slots").BeginArray();
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
    if (slot == nullptr) continue;
    json->BeginObject();
    json->Key("position").Int(position);
    json->Key("type").Int(slot->type);
    json->Key("packets").Int(slot->lut != nullptr ? slot->lut->num_packets : 0);
    CrcJson(LutCrc(*slot), json);
    json->EndObject();
  }
  json->EndArray().EndObject();
}

// Under a filter only the modes selected, and "luts" null: LUTs belong to
// no mode.
void ShowJson(const Options &options, const CalibFile &file) {
  JsonWriter json;
  json.BeginObject();
  json.Key("file").String(file.path);
  json.Key("num_modes").Int(file.modes->num_modes);
  json.Key("default_mode").Int(file.modes->default_mode);
  json.Key("modes").BeginArray();
  for (uint32_t i = 0; i < file.modes->num_modes; ++i) {
    const tavo::DispMode &mode = file.modes->modes[i];
    if (SelectsMode(options, mode)) ShowModeJson(options, mode, &json);
  }
  json.EndArray();
  if (IsFiltered(options)) {
    json.Key("luts").Null();
  } else {
    LutsJson(file, &json);
  }
  json.EndObject();
  fputs(json.Text().c_str(), stdout);
}

void ShowModeText(const Options &options, const tavo::DispMode &mode) {
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
    if (feature == nullptr || !SelectsFeature(options, feature->type)) {
      continue;
    }
    if (!header) {
      printf("  %7s  %6s  %8s  %s\n", "FEATURE", "SIZE", "DISABLED", "CRC32");
    }
    header = true;
    printf("  %7u  %6u  %8s  %s\n", feature->type, feature->size,
           YesNo(feature->disable), CrcText(FeatureCrc(*feature)));
  }
  if (header) return;
  if (options.feature != kNotGiven) {
    printf("  no feature of type %d\n", options.feature);
  } else {
    puts("  no features");
  }
}

void ShowLutsText(const CalibFile &file) {
  printf("\nLUTs: %u declared\n",
         file.luts != nullptr ? file.luts->num_luts : 0);
  bool header = false;
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
    if (slot == nullptr) continue;
    if (!header) {
      printf("  %8s  %4s  %7s  %s\n", "POSITION", "TYPE", "PACKETS", "CRC32");
    }
    header = true;
    printf("  %8d  %4d  %7u  %s\n", position, slot->type,
           slot->lut != nullptr ? slot->lut->num_packets : 0,
           CrcText(LutCrc(*slot)));
  }
  if (!header) puts("  no LUT read");
}

void ShowText(const Options &options, const CalibFile &file) {
  printf("%s: %s, default mode %d\n", file.path.c_str(),
         Count(file.modes->num_modes, "mode").c_str(),
         file.modes->default_mode);
  bool filtered = IsFiltered(options);
  if (filtered) printf("%s\n", SelectionText(options, *file.modes).c_str());
  for (uint32_t i = 0; i < file.modes->num_modes; ++i) {
    const tavo::DispMode &mode = file.modes->modes[i];
    if (SelectsMode(options, mode)) ShowModeText(options, mode);
  }
  if (filtered) {
    puts("\nLUTs: not shown, they belong to no mode");
  } else {
    ShowLutsText(file);
  }
}

}  // namespace

int Show(const Options &options) {
  const std::string &path = options.files[0];
  bool json = options.json;
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  if (ReportUnreadable({file.get()}, json)) return kExitTrouble;
  if (json) {
    ShowJson(options, *file);
  } else {
    ShowText(options, *file);
  }
  return kExitNothing;
}

}  // namespace inspect
