// diff: what differs between two calibration files as the tool reads
// them. Modes are matched by display and mode ID; attributes the reader
// does not read are not compared, since they never reach the tool.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/base/json.h"
#include "inspect/base/text.h"
#include "inspect/commands/commands.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/compare.h"
#include "inspect/report/filter.h"
#include "inspect/report/report.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

void SizeJson(const char *key, int64_t size, int64_t unit, JsonWriter *json) {
  json->Key(key);
  if (size < 0) {
    json->Null();
  } else {
    json->Int(size / unit);
  }
}

void ByteJson(int byte, JsonWriter *json) {
  if (byte < 0) {
    json->Null();
  } else {
    json->Int(byte);
  }
}

// The bytes listed of a changed payload, a LUT's by packet and byte, and
// how many more differ; null for a payload added or removed.
void ListedJson(const SlotChange &slot, int64_t unit, JsonWriter *json) {
  bool compared = strcmp(slot.change, "changed") == 0;
  json->Key("bytes");
  if (!compared) {
    json->Null();
    json->Key("bytes_left_out").Null();
    return;
  }
  json->BeginArray();
  for (const ByteChange &byte : slot.listed) {
    json->BeginObject();
    if (unit == 1) {
      json->Key("offset").Int(byte.offset);
    } else {
      json->Key("packet").Int(byte.offset / unit);
      json->Key("byte").Int(byte.offset % unit);
    }
    json->Key("old");
    ByteJson(byte.old_byte, json);
    json->Key("new");
    ByteJson(byte.new_byte, json);
    json->EndObject();
  }
  json->EndArray();
  json->Key("bytes_left_out")
      .Int(slot.differing - static_cast<int64_t>(slot.listed.size()));
}

// |unit| turns a payload's bytes into what the slot counts: 1 for a
// feature's bytes, 16 for a LUT's packets. A feature's Disable is shown
// for each side it has, when |disable|; the bytes listed, when |bytes|.
void SlotJson(const SlotChange &slot, const char *slot_key,
              const char *size_name, int64_t unit, bool disable, bool bytes,
              JsonWriter *json) {
  bool compared = strcmp(slot.change, "changed") == 0;
  json->BeginObject();
  json->Key(slot_key).Int(slot.slot);
  json->Key("change").String(slot.change);
  SizeJson((std::string("old_") + size_name).c_str(), slot.old_side.size, unit,
           json);
  SizeJson((std::string("new_") + size_name).c_str(), slot.new_side.size, unit,
           json);
  json->Key("bytes_differing");
  if (compared) {
    json->Int(slot.differing);
  } else {
    json->Null();
  }
  json->Key("first_difference");
  if (slot.first >= 0) {
    json->Int(slot.first);
  } else {
    json->Null();
  }
  bool shown = disable && (!compared || slot.old_disable != slot.new_disable);
  if (shown && slot.old_side.size >= 0) {
    json->Key("old_disable").Bool(slot.old_disable);
  }
  if (shown && slot.new_side.size >= 0) {
    json->Key("new_disable").Bool(slot.new_disable);
  }
  if (bytes) ListedJson(slot, unit, json);
  json->EndObject();
}

void AttributesJson(const std::vector<AttributeChange> &attributes,
                    JsonWriter *json) {
  json->Key("attributes").BeginArray();
  for (const AttributeChange &attribute : attributes) {
    json->BeginObject();
    json->Key("name").String(attribute.name);
    json->Key("old").String(attribute.old_text);
    json->Key("new").String(attribute.new_text);
    json->EndObject();
  }
  json->EndArray();
}

// Under a filter "attributes" and "luts" are null, not compared, and
// "modes_selected" counts the modes compared on each side.
void PrintJson(const Options &options, const CalibFile &old_file,
               const CalibFile &new_file, const Differences &differences) {
  bool filtered = SelectionOf(options).IsFiltered();
  JsonWriter json;
  json.BeginObject();
  if (filtered) {
    json.Key("attributes").Null();
    json.Key("modes_selected").BeginObject();
    json.Key("old").Int(SelectionOf(options).CountModes(*old_file.modes));
    json.Key("new").Int(SelectionOf(options).CountModes(*new_file.modes));
    json.EndObject();
  } else {
    AttributesJson(differences.file, &json);
  }
  json.Key("modes").BeginArray();
  for (const ModeChange &mode : differences.modes) {
    json.BeginObject();
    json.Key("display_id").Int(mode.mode->disp_id);
    json.Key("mode_id").Int(mode.mode->mode_id);
    json.Key("name").String(mode.mode->name);
    json.Key("change").String(mode.change);
    AttributesJson(mode.attributes, &json);
    json.Key("features").BeginArray();
    for (const SlotChange &feature : mode.features) {
      SlotJson(feature, "type", "size", 1, true, options.bytes, &json);
    }
    json.EndArray().EndObject();
  }
  json.EndArray().Key("luts");
  if (filtered) {
    json.Null();
  } else {
    json.BeginArray();
    for (const SlotChange &lut : differences.luts) {
      SlotJson(lut, "position", "packets", tavo::kPccPacketSize, false,
               options.bytes, &json);
    }
    json.EndArray();
  }
  json.EndObject();
  fputs(json.Text().c_str(), stdout);
}

const char *TrueFalse(bool value) { return value ? "true" : "false"; }

// "added, 12 bytes, Disable false", "changed, 4 -> 6 bytes, 3 bytes differ
// from offset 1". A feature's Disable is shown when |disable|.
std::string SlotText(const SlotChange &slot, const char *unit_name,
                     int64_t unit, bool disable) {
  if (strcmp(slot.change, "added") == 0) {
    return Format(
        "added, %s%s", Count(slot.new_side.size / unit, unit_name).c_str(),
        disable ? Format(", Disable %s", TrueFalse(slot.new_disable)).c_str()
                : "");
  }
  if (strcmp(slot.change, "removed") == 0) {
    return Format(
        "removed, %s%s", Count(slot.old_side.size / unit, unit_name).c_str(),
        disable ? Format(", Disable %s", TrueFalse(slot.old_disable)).c_str()
                : "");
  }
  std::string text = Format(
      "changed, %lld -> %s", static_cast<long long>(slot.old_side.size / unit),
      Count(slot.new_side.size / unit, unit_name).c_str());
  if (slot.differing > 0) {
    text += Format(
        ", %s differ%s from offset %lld", Count(slot.differing, "byte").c_str(),
        slot.differing == 1 ? "s" : "", static_cast<long long>(slot.first));
  }
  if (slot.old_disable != slot.new_disable) {
    text += Format(", Disable %s -> %s", slot.old_disable ? "true" : "false",
                   slot.new_disable ? "true" : "false");
  }
  return text;
}

std::string ByteText(int byte) {
  return byte < 0 ? std::string("--") : Format("%02X", byte);
}

// "    offset 3: AB -> --", a LUT's as "    packet 1 byte 3: 0F -> 10",
// then how many more differ.
void PrintListed(const SlotChange &slot, int64_t unit) {
  if (strcmp(slot.change, "changed") != 0) return;
  for (const ByteChange &byte : slot.listed) {
    std::string where =
        unit == 1 ? Format("offset %lld", static_cast<long long>(byte.offset))
                  : Format("packet %lld byte %lld",
                           static_cast<long long>(byte.offset / unit),
                           static_cast<long long>(byte.offset % unit));
    printf("    %s: %s -> %s\n", where.c_str(), ByteText(byte.old_byte).c_str(),
           ByteText(byte.new_byte).c_str());
  }
  int64_t left_out = slot.differing - static_cast<int64_t>(slot.listed.size());
  if (left_out > 0) {
    printf("    %s more differ%s, not listed\n",
           Count(left_out, "byte").c_str(), left_out == 1 ? "s" : "");
  }
}

void PrintText(const Options &options, const CalibFile &old_file,
               const CalibFile &new_file, const Differences &differences) {
  if (SelectionOf(options).IsFiltered()) {
    int old_count = SelectionOf(options).CountModes(*old_file.modes);
    int new_count = SelectionOf(options).CountModes(*new_file.modes);
    std::string counts =
        old_count + new_count == 0
            ? std::string("no mode in OLD or NEW")
            : Format("%s in OLD and %d in NEW",
                     Count(old_count, "mode").c_str(), new_count);
    printf("Compared: what %s selects, %s\n",
           FilterText(SelectionOf(options)).c_str(), counts.c_str());
    printf("Not compared under a filter: %sDefaultMode, NumLuts and LUTs\n",
           options.feature != kNotGiven ? "mode attributes, " : "");
  }
  for (const AttributeChange &attribute : differences.file) {
    printf("%-18s %s -> %s\n", attribute.name,
           Quote(attribute.old_text).c_str(),
           Quote(attribute.new_text).c_str());
  }
  for (const ModeChange &mode : differences.modes) {
    printf("Mode %d on display %d %s: %s\n", mode.mode->mode_id,
           mode.mode->disp_id, Quote(mode.mode->name).c_str(), mode.change);
    for (const AttributeChange &attribute : mode.attributes) {
      printf("  %-16s %s -> %s\n", attribute.name,
             Quote(attribute.old_text).c_str(),
             Quote(attribute.new_text).c_str());
    }
    for (const SlotChange &feature : mode.features) {
      printf("  feature %-8lld %s\n", static_cast<long long>(feature.slot),
             SlotText(feature, "byte", 1, true).c_str());
      if (options.bytes) PrintListed(feature, 1);
    }
  }
  for (const SlotChange &lut : differences.luts) {
    printf("LUT %-14lld %s\n", static_cast<long long>(lut.slot),
           SlotText(lut, "packet", tavo::kPccPacketSize, false).c_str());
    if (options.bytes) PrintListed(lut, tavo::kPccPacketSize);
  }
}

}  // namespace

int Diff(const Options &options) {
  const std::string &old_path = options.files[0];
  const std::string &new_path = options.files[1];
  bool json = options.json;
  std::unique_ptr<CalibFile> old_file = ReadCalibFile(old_path);
  std::unique_ptr<CalibFile> new_file = ReadCalibFile(new_path);
  if (ReportUnreadable({old_file.get(), new_file.get()}, json)) {
    return kExitTrouble;
  }
  Differences differences = Compare(*old_file, *new_file, SelectionOf(options),
                                    options.bytes ? options.max : 0);
  if (json) {
    PrintJson(options, *old_file, *new_file, differences);
  } else {
    PrintText(options, *old_file, *new_file, differences);
  }
  return differences.empty() ? kExitNothing : kExitFound;
}

}  // namespace inspect
