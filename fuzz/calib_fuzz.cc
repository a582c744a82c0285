// libFuzzer target: arbitrary bytes as a QA calibration file. The file is
// read, its modes and LUTs are written into an output file the way the tool
// writes its combined file (once into a new file, once into an existing one
// holding the same bytes), and that file is read back. Nothing may crash,
// leak or touch memory it does not own, and whatever was read must come back
// unchanged from the written file. The hex codec is also checked directly
// against the per-byte rule on the raw bytes.
//
// The database logs every step to stderr, which is muted unless
// RIMBOLT_FUZZ_LOG is set (fuzz/quiet_stderr.h).
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "calib_db/temp_folder.h"
#include "calib_db/xml_database_test.h"
#include "fuzz/quiet_stderr.h"

namespace {

using tavo::DispFeature;
using tavo::DispLut;
using tavo::DispLuts;
using tavo::DispMode;
using tavo::DispModes;
using tavo::PccLut;
using tavo::XmlDatabaseTest;

// Inputs whose payloads add up to more than this are read but not written
// back: a few bytes of attributes can ask for hundreds of megabytes of hex
// text, which only repeats the same code on more data and runs into the
// fuzzer's memory limit.
constexpr size_t kMaxRoundTripBytes = 4u << 20;
constexpr uint8_t kUntouched = 0xA5;

// Files of this process: made once, reused by every input.
std::string g_dir;
std::string g_input;
std::string g_output;

[[noreturn]] void Fail(const char *format, ...)
    __attribute__((format(printf, 1, 2)));

void Fail(const char *format, ...) {
  va_list args;
  va_start(args, format);
  dprintf(rimbolt_fuzz::g_report_fd, "rimbolt_fuzz: ");
  vdprintf(rimbolt_fuzz::g_report_fd, format, args);
  dprintf(rimbolt_fuzz::g_report_fd, "\n");
  va_end(args);
  abort();
}

void RemoveFiles() {
  unlink(g_input.c_str());
  unlink(g_output.c_str());
  rmdir(g_dir.c_str());
}

void WriteWholeFile(const std::string &path, const uint8_t *data,
                    size_t size) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) Fail("cannot create %s: %s", path.c_str(), strerror(errno));
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail("cannot write %s: %s", path.c_str(), strerror(errno));
    data += written;
    size -= static_cast<size_t>(written);
  }
  close(fd);
}

// The digit value of a character by the per-byte rule of the file format.
uint8_t DigitValue(char c) {
  unsigned code = static_cast<uint8_t>(c);
  return static_cast<uint8_t>(code <= 57 ? (code & 0x0f)
                                         : ((code + 57) & 0x0f));
}

char DigitChar(unsigned value) {
  return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10);
}

// The decoder on the raw bytes taken as a C string, asked for more bytes
// than the text holds. The text is copied into a buffer of exactly its size
// so that a read past its end is caught.
void CheckDecoder(const uint8_t *data, size_t size) {
  std::unique_ptr<char[]> text(new char[size + 1]);
  if (size > 0) memcpy(text.get(), data, size);
  text[size] = '\0';
  size_t length = strlen(text.get());
  size_t whole = length / 2;
  uint32_t count = static_cast<uint32_t>(whole + 2);
  std::vector<uint8_t> bytes(count, kUntouched);
  XmlDatabaseTest::ConvertCharArrayToUINT8Array(text.get(), bytes.data(),
                                                count);
  for (size_t k = 0; k < whole; ++k) {
    uint8_t expected = static_cast<uint8_t>(DigitValue(text[2 * k]) << 4 |
                                            DigitValue(text[2 * k + 1]));
    if (bytes[k] != expected) {
      Fail("decoded byte %zu is %02X, the digits %02X %02X give %02X", k,
           bytes[k], static_cast<uint8_t>(text[2 * k]),
           static_cast<uint8_t>(text[2 * k + 1]), expected);
    }
  }
  // A half byte at an odd end may or may not be stored; what lies past the
  // text must stay as it was.
  for (size_t k = whole + (length % 2); k < count; ++k) {
    if (bytes[k] != kUntouched) {
      Fail("byte %zu past a text of %zu characters was changed", k, length);
    }
  }
}

// The encoder on the raw bytes, with the document |db| holds open, and the
// decoder on what it made.
void CheckEncoder(XmlDatabaseTest *db, const uint8_t *data, size_t size) {
  uint32_t count = static_cast<uint32_t>(size);
  tinyxml2::XMLText *node = db->ConvertUINT8ArrayToCharArray(data, count);
  if (node == nullptr) Fail("encoding %zu bytes gave no text node", size);
  const char *text = node->Value();
  if (strlen(text) != 2 * size) {
    Fail("%zu bytes encoded as %zu characters", size, strlen(text));
  }
  for (size_t k = 0; k < size; ++k) {
    if (text[2 * k] != DigitChar(data[k] >> 4) ||
        text[2 * k + 1] != DigitChar(data[k] & 0x0f)) {
      Fail("byte %zu (%02X) encoded as %.2s", k, data[k], text + 2 * k);
    }
  }
  std::vector<uint8_t> back(size + 1, kUntouched);
  XmlDatabaseTest::ConvertCharArrayToUINT8Array(text, back.data(), count);
  if (size > 0 && memcmp(back.data(), data, size) != 0) {
    Fail("decoding the encoded %zu bytes does not give them back", size);
  }
  node->GetDocument()->DeleteNode(node);
}

size_t PayloadBytes(const DispModes *modes, const DispLuts *luts) {
  size_t total = 0;
  for (uint32_t i = 0; i < modes->num_modes; ++i) {
    for (const DispFeature *feature : modes->modes[i].features) {
      if (feature != nullptr) total += feature->size;
    }
  }
  for (const tavo::DispLutBase *slot : luts->lut_slots) {
    const auto *wrapper = static_cast<const DispLut<PccLut> *>(slot);
    if (wrapper != nullptr && wrapper->lut != nullptr) {
      total += size_t{wrapper->lut->num_packets} * tavo::kPccPacketSize;
    }
  }
  return total;
}

// A name as it reads back from a saved file: tinyxml2 writes line ends
// unescaped, and its parser turns each of CR, CR LF and LF CR into one LF.
std::string AfterRoundTrip(const char *name) {
  std::string out;
  for (const char *p = name; *p != '\0'; ++p) {
    if (*p == '\r' || *p == '\n') {
      out += '\n';
      if (p[1] == (*p == '\r' ? '\n' : '\r')) ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

bool Allowed(const char *text, std::initializer_list<const char *> values) {
  for (const char *value : values) {
    if (strcmp(text, value) == 0) return true;
  }
  return false;
}

void CheckText(const char *what, uint32_t i, const char *written,
               const char *read, bool is_written) {
  const char *expected = is_written ? written : "";
  if (strcmp(expected, read) != 0) {
    Fail("mode %u: %s \"%s\" read back as \"%s\"", i, what, expected, read);
  }
}

void CheckFeature(uint32_t i, int slot, const DispFeature *written,
                  const DispFeature *read) {
  if ((written == nullptr) != (read == nullptr)) {
    Fail("mode %u: feature slot %d %s", i, slot,
         written != nullptr ? "lost" : "appeared");
  }
  if (written == nullptr) return;
  if (read->type != written->type || read->size != written->size ||
      read->disable != written->disable) {
    Fail("mode %u slot %d: type/size/disable %u/%u/%d read back as %u/%u/%d",
         i, slot, written->type, written->size, written->disable, read->type,
         read->size, read->disable);
  }
  if (written->size > 0 &&
      (read->payload == nullptr ||
       memcmp(read->payload, written->payload, written->size) != 0)) {
    Fail("mode %u slot %d: payload of %u bytes changed", i, slot,
         written->size);
  }
}

void CheckModes(const DispModes &written, const DispModes &read) {
  if (read.num_modes != written.num_modes) {
    Fail("%u modes written, %u read back", written.num_modes, read.num_modes);
  }
  // The last default mode written names the list's default.
  int32_t default_mode = written.default_mode;
  for (uint32_t i = 0; i < written.num_modes; ++i) {
    if (written.modes[i].is_default_mode) {
      default_mode = written.modes[i].mode_id;
    }
  }
  if (read.default_mode != default_mode) {
    Fail("default mode %d read back as %d", default_mode, read.default_mode);
  }
  for (uint32_t i = 0; i < written.num_modes; ++i) {
    const DispMode &w = written.modes[i];
    const DispMode &r = read.modes[i];
    if (r.mode_id != w.mode_id || r.disp_id != w.disp_id ||
        r.num_features != w.num_features ||
        r.render_intent != w.render_intent ||
        r.is_default_mode != w.is_default_mode || r.is_merge != w.is_merge) {
      Fail("mode %u: id/display/features/intent/default/merge "
           "%d/%d/%u/%d/%d/%d read back as %d/%d/%u/%d/%d/%d",
           i, w.mode_id, w.disp_id, w.num_features, w.render_intent,
           w.is_default_mode, w.is_merge, r.mode_id, r.disp_id,
           r.num_features, r.render_intent, r.is_default_mode, r.is_merge);
    }
    // The output is no app-mode file.
    if (r.is_app_mode) Fail("mode %u reads back as an app mode", i);
    CheckText("name", i, AfterRoundTrip(w.name).c_str(), r.name, true);
    CheckText("dynamic range", i, w.dynamic_range, r.dynamic_range,
              Allowed(w.dynamic_range, {"hdr", "sdr"}));
    CheckText("colour gamut", i, w.color_gamut, r.color_gamut,
              Allowed(w.color_gamut, {"srgb", "dcip3", "native",
                                      "display_p3"}));
    CheckText("picture quality", i, w.picture_quality, r.picture_quality,
              Allowed(w.picture_quality,
                      {"standard", "amazon", "vivid", "sharp", "netflix"}));
    for (int slot = 0; slot < tavo::kMaxFeatures; ++slot) {
      CheckFeature(i, slot, w.features[slot], r.features[slot]);
    }
  }
}

void CheckLuts(const DispLuts &written, const DispLuts &read) {
  if (read.num_luts != written.num_luts) {
    Fail("NumLuts %u read back as %u", written.num_luts, read.num_luts);
  }
  // Only slot 0 is written.
  for (int slot = 1; slot < tavo::kMaxLuts; ++slot) {
    if (read.lut_slots[slot] != nullptr) {
      Fail("LUT slot %d filled on reading back", slot);
    }
  }
  const auto *w = static_cast<const DispLut<PccLut> *>(written.lut_slots[0]);
  const auto *r = static_cast<const DispLut<PccLut> *>(read.lut_slots[0]);
  if ((w == nullptr) != (r == nullptr)) {
    Fail("LUT slot 0 %s", w != nullptr ? "lost" : "appeared");
  }
  if (w == nullptr) return;
  if (w->lut == nullptr || r->lut == nullptr || r->type != w->type) {
    Fail("LUT slot 0 of type %d read back as type %d", w->type, r->type);
  }
  uint32_t packets = w->lut->num_packets;
  if (r->lut->num_packets != packets) {
    Fail("%u PCC packets read back as %u", packets, r->lut->num_packets);
  }
  size_t bytes = size_t{packets} * tavo::kPccPacketSize;
  if (bytes > 0 && (r->lut->packets == nullptr ||
                    memcmp(r->lut->packets, w->lut->packets, bytes) != 0)) {
    Fail("PCC packets changed on reading back (%u packets)", packets);
  }
}

// Writes |modes| and |luts| into the output file the way the tool writes
// its combined file, then reads the file back and compares. The output file
// is either missing or an existing file holding the input as well.
void RoundTrip(DispModes *modes, DispLuts *luts, const uint8_t *data,
               size_t size, bool existing) {
  if (existing) {
    WriteWholeFile(g_output, data, size);
  } else {
    unlink(g_output.c_str());
  }
  XmlDatabaseTest output(tavo::kFileTypeFactory, g_output.c_str());
  if (output.EditFile() != 0) {
    // An existing file that parses but holds no element is refused; a
    // missing one must be created.
    if (!existing) Fail("EditFile cannot create the output");
    unlink(g_output.c_str());
    if (output.EditFile() != 0) Fail("EditFile cannot create the output");
  }
  if (!existing) CheckEncoder(&output, data, size);
  if (output.AddModes(modes) != 0) Fail("AddModes failed on modes read");
  if (output.AddLuts(luts) != 0) Fail("AddLuts failed on LUTs read");
  if (output.SaveAndCloseFile() != 0) Fail("SaveAndCloseFile failed");
  output.CloseFile();

  XmlDatabaseTest back(tavo::kFileTypeQa, g_output.c_str());
  if (back.LoadFile() != 0) {
    // tinyxml2 accepts some malformed documents, text after the root element
    // for one, and saves them in a form that it refuses to load. Only what
    // was kept around the root of an existing file can do that.
    if (existing) return;
    Fail("the saved output does not load");
  }
  std::unique_ptr<DispModes> modes_back(back.ReadModes());
  if (modes_back == nullptr) Fail("the saved output has no modes to read");
  CheckModes(*modes, *modes_back);
  DispLuts *luts_back = back.GetLuts();
  if (luts_back == nullptr) Fail("GetLuts on the saved output gave no set");
  CheckLuts(*luts, *luts_back);
  back.CloseFile();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  std::string pattern = tavo::TempBase() + "/rimbolt-fuzz.XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) {
    Fail("mkdtemp %s: %s", pattern.c_str(), strerror(errno));
  }
  g_dir = pattern;
  g_input = g_dir + "/qa_modes.xml";
  g_output = g_dir + "/combined_modes.xml";
  atexit(RemoveFiles);

  rimbolt_fuzz::QuietStderr(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  CheckDecoder(data, size);
  WriteWholeFile(g_input, data, size);

  XmlDatabaseTest qa(tavo::kFileTypeQa, g_input.c_str());
  if (qa.LoadFile() != 0) return 0;
  std::unique_ptr<DispModes> modes(qa.ReadModes());
  DispLuts *luts = qa.GetLuts();
  if (luts == nullptr) Fail("GetLuts on an open file gave no set");
  qa.CloseFile();

  // Without modes the tool writes nothing; an empty list still lets the
  // LUTs take the road.
  if (modes == nullptr) {
    modes.reset(DispModes::Init(tavo::kModeTypeStandard, 0, 0));
    if (modes == nullptr) Fail("no empty mode list");
  }
  if (PayloadBytes(modes.get(), luts) > kMaxRoundTripBytes) return 0;
  RoundTrip(modes.get(), luts, data, size, false);
  RoundTrip(modes.get(), luts, data, size, true);
  return 0;
}
