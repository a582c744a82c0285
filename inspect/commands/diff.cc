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
#include "inspect/report/filter.h"
#include "inspect/report/report.h"

namespace inspect {

namespace mf = tavo::mode_format;
namespace lf = tavo::lut_format;

namespace {

// A mode attribute as the writer puts it, from what the reader read.
struct Attribute {
  const char *name;
  std::string (*text)(const tavo::DispMode &);
};

std::string Flag(bool value) { return value ? "1" : "0"; }

constexpr Attribute kAttributes[] = {
    {mf::kName, [](const tavo::DispMode &m) { return std::string(m.name); }},
    {mf::kIsDefaultMode,
     [](const tavo::DispMode &m) { return Flag(m.is_default_mode); }},
    {mf::kIsAppMode,
     [](const tavo::DispMode &m) { return Flag(m.is_app_mode); }},
    {mf::kNumOfFeatures,
     [](const tavo::DispMode &m) { return std::to_string(m.num_features); }},
    {mf::kDynamicRange,
     [](const tavo::DispMode &m) { return std::string(m.dynamic_range); }},
    {mf::kColorGamut,
     [](const tavo::DispMode &m) { return std::string(m.color_gamut); }},
    {mf::kPictureQuality,
     [](const tavo::DispMode &m) { return std::string(m.picture_quality); }},
    {mf::kRenderIntent,
     [](const tavo::DispMode &m) { return std::to_string(m.render_intent); }},
    {mf::kIsMerge, [](const tavo::DispMode &m) { return Flag(m.is_merge); }},
};

struct AttributeChange {
  const char *name;
  std::string old_text;
  std::string new_text;
};

// A payload on either side; |size| is -1 where there is none.
struct Payload {
  int64_t size = -1;
  const uint8_t *bytes = nullptr;
};

// A byte that differs; -1 for the side that has no byte there.
struct ByteChange {
  int64_t offset;
  int old_byte;
  int new_byte;
};

// One feature or LUT slot that differs. |first| is -1 when the bytes agree.
// |listed| holds the first differing bytes, as many as --bytes asks for.
struct SlotChange {
  int64_t slot;
  const char *change;
  Payload old_side;
  Payload new_side;
  int64_t differing = 0;
  int64_t first = -1;
  bool old_disable = false;
  bool new_disable = false;
  std::vector<ByteChange> listed = {};
};

// What --bytes and --max ask to be listed of each changed payload.
int64_t BytesToList(const Options &options) {
  return options.bytes ? options.max : 0;
}

int ByteAt(const Payload &side, int64_t offset) {
  if (offset >= side.size || side.bytes == nullptr) return -1;
  return side.bytes[offset];
}

struct ModeChange {
  const tavo::DispMode *mode;
  const char *change;
  std::vector<AttributeChange> attributes;
  std::vector<SlotChange> features;
};

// Counts the offsets where the two payloads differ, a byte only one of
// them has included, and lists the first |limit| of them.
void CompareBytes(int64_t limit, SlotChange *slot) {
  int64_t longest = std::max(slot->old_side.size, slot->new_side.size);
  int64_t common = std::min(slot->old_side.size, slot->new_side.size);
  for (int64_t i = 0; i < longest; ++i) {
    if (i < common &&
        (slot->old_side.bytes == nullptr || slot->new_side.bytes == nullptr ||
         slot->old_side.bytes[i] == slot->new_side.bytes[i])) {
      continue;
    }
    if (slot->differing++ == 0) slot->first = i;
    if (static_cast<int64_t>(slot->listed.size()) < limit) {
      slot->listed.push_back(
          {i, ByteAt(slot->old_side, i), ByteAt(slot->new_side, i)});
    }
  }
}

// The change between two slots, either of them empty; false when they
// agree.
bool CompareSlots(Payload old_side, Payload new_side, int64_t limit,
                  SlotChange *slot) {
  slot->old_side = old_side;
  slot->new_side = new_side;
  if (old_side.size < 0 && new_side.size < 0) return false;
  if (old_side.size < 0) {
    slot->change = "added";
    return true;
  }
  if (new_side.size < 0) {
    slot->change = "removed";
    return true;
  }
  slot->change = "changed";
  CompareBytes(limit, slot);
  return slot->differing != 0;
}

Payload FeaturePayload(const tavo::DispFeature *feature) {
  if (feature == nullptr) return {};
  return {feature->size, feature->payload};
}

// A mode's attributes are not compared under --feature, which asks for
// features alone.
ModeChange CompareModes(const Options &options, const tavo::DispMode &old_mode,
                        const tavo::DispMode &new_mode) {
  ModeChange mode{&old_mode, "changed", {}, {}};
  for (const Attribute &attribute : kAttributes) {
    if (options.feature != kNotGiven) break;
    std::string old_text = attribute.text(old_mode);
    std::string new_text = attribute.text(new_mode);
    if (old_text != new_text) {
      mode.attributes.push_back({attribute.name, old_text, new_text});
    }
  }
  for (int type = 0; type < tavo::kMaxFeatures; ++type) {
    if (!SelectsFeature(options, type)) continue;
    const tavo::DispFeature *old_feature = old_mode.features[type];
    const tavo::DispFeature *new_feature = new_mode.features[type];
    SlotChange slot{type, "", {}, {}};
    bool differs =
        CompareSlots(FeaturePayload(old_feature), FeaturePayload(new_feature),
                     BytesToList(options), &slot);
    if (old_feature != nullptr) slot.old_disable = old_feature->disable;
    if (new_feature != nullptr) slot.new_disable = new_feature->disable;
    if (old_feature != nullptr && new_feature != nullptr) {
      differs = differs || slot.old_disable != slot.new_disable;
    }
    if (differs) mode.features.push_back(slot);
  }
  return mode;
}

bool SameKey(const tavo::DispMode &a, const tavo::DispMode &b) {
  return a.disp_id == b.disp_id && a.mode_id == b.mode_id;
}

// Old modes in their order, each matched with the first new mode of the
// same display and ID not matched yet; then the new modes left over. Only
// the modes the filters select, on either side.
std::vector<ModeChange> CompareModeLists(const Options &options,
                                         const tavo::DispModes &old_modes,
                                         const tavo::DispModes &new_modes) {
  std::vector<ModeChange> changes;
  std::vector<bool> matched(new_modes.num_modes, false);
  for (uint32_t j = 0; j < new_modes.num_modes; ++j) {
    // One not selected is taken as matched: it is not compared.
    matched[j] = !SelectsMode(options, new_modes.modes[j]);
  }
  for (uint32_t i = 0; i < old_modes.num_modes; ++i) {
    const tavo::DispMode &old_mode = old_modes.modes[i];
    if (!SelectsMode(options, old_mode)) continue;
    uint32_t j = 0;
    while (j < new_modes.num_modes &&
           (matched[j] || !SameKey(old_mode, new_modes.modes[j]))) {
      ++j;
    }
    if (j == new_modes.num_modes) {
      changes.push_back({&old_mode, "removed", {}, {}});
      continue;
    }
    matched[j] = true;
    ModeChange change = CompareModes(options, old_mode, new_modes.modes[j]);
    if (!change.attributes.empty() || !change.features.empty()) {
      changes.push_back(change);
    }
  }
  for (uint32_t j = 0; j < new_modes.num_modes; ++j) {
    if (!matched[j]) changes.push_back({&new_modes.modes[j], "added", {}, {}});
  }
  return changes;
}

Payload LutPayload(const CalibFile &file, int position) {
  const tavo::DispLut<tavo::PccLut> *slot = LutAt(file, position);
  if (slot == nullptr || slot->lut == nullptr) return {};
  return {static_cast<int64_t>(slot->lut->num_packets) * tavo::kPccPacketSize,
          slot->lut->packets};
}

std::vector<SlotChange> CompareLuts(const Options &options,
                                    const CalibFile &old_file,
                                    const CalibFile &new_file) {
  std::vector<SlotChange> changes;
  for (int position = 0; position < tavo::kMaxLuts; ++position) {
    SlotChange slot{position, "", {}, {}};
    if (CompareSlots(LutPayload(old_file, position),
                     LutPayload(new_file, position), BytesToList(options),
                     &slot)) {
      changes.push_back(slot);
    }
  }
  return changes;
}

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

// Everything that differs between two files. Under a filter the values of
// the file and the LUTs are not compared: they belong to no mode.
struct Differences {
  std::vector<AttributeChange> file;  // DefaultMode, NumLuts
  std::vector<ModeChange> modes;
  std::vector<SlotChange> luts;
  bool empty() const { return file.empty() && modes.empty() && luts.empty(); }
};

// The values of the file, not of a mode, as the reader read them.
std::vector<AttributeChange> CompareFiles(const CalibFile &old_file,
                                          const CalibFile &new_file) {
  auto num_luts = [](const CalibFile &file) {
    return std::to_string(file.luts != nullptr ? file.luts->num_luts : 0);
  };
  const AttributeChange all[] = {
      {mf::kDefaultMode, std::to_string(old_file.modes->default_mode),
       std::to_string(new_file.modes->default_mode)},
      {lf::kNumLuts, num_luts(old_file), num_luts(new_file)},
  };
  std::vector<AttributeChange> changes;
  for (const AttributeChange &change : all) {
    if (change.old_text != change.new_text) changes.push_back(change);
  }
  return changes;
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
  bool filtered = IsFiltered(options);
  JsonWriter json;
  json.BeginObject();
  if (filtered) {
    json.Key("attributes").Null();
    json.Key("modes_selected").BeginObject();
    json.Key("old").Int(CountSelectedModes(options, *old_file.modes));
    json.Key("new").Int(CountSelectedModes(options, *new_file.modes));
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
  if (IsFiltered(options)) {
    int old_count = CountSelectedModes(options, *old_file.modes);
    int new_count = CountSelectedModes(options, *new_file.modes);
    std::string counts =
        old_count + new_count == 0
            ? std::string("no mode in OLD or NEW")
            : Format("%s in OLD and %d in NEW",
                     Count(old_count, "mode").c_str(), new_count);
    printf("Compared: what %s selects, %s\n", FilterText(options).c_str(),
           counts.c_str());
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
  Differences differences{
      {}, CompareModeLists(options, *old_file->modes, *new_file->modes), {}};
  if (!IsFiltered(options)) {
    differences.file = CompareFiles(*old_file, *new_file);
    differences.luts = CompareLuts(options, *old_file, *new_file);
  }
  if (json) {
    PrintJson(options, *old_file, *new_file, differences);
  } else {
    PrintText(options, *old_file, *new_file, differences);
  }
  return differences.empty() ? kExitNothing : kExitFound;
}

}  // namespace inspect
