#include "bench/calib_gen.h"

#include <stdio.h>
#include <stdlib.h>

#include <vector>

namespace rimbolt_bench {

namespace {

constexpr const char *kGamuts[] = {"srgb", "dcip3", "native", "display_p3"};
constexpr const char *kRanges[] = {"sdr", "hdr"};
constexpr int kTargetsPerDisplay = 8;

// splitmix64: a fixed, fast stream of payload bytes.
class ByteStream {
 public:
  explicit ByteStream(uint64_t seed) : state_(seed) {}
  void Fill(uint8_t *out, size_t count) {
    for (size_t i = 0; i < count; i += 8) {
      uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
      z ^= z >> 31;
      for (size_t k = 0; k < 8 && i + k < count; ++k) {
        out[i + k] = static_cast<uint8_t>(z >> (8 * k));
      }
    }
  }

 private:
  uint64_t state_;
};

// Buffered writer that keeps track of failures and of the size written.
class Writer {
 public:
  explicit Writer(const std::string &path) : file_(fopen(path.c_str(), "wb")) {}
  ~Writer() {
    if (file_ != nullptr) fclose(file_);
  }
  void Put(const std::string &text) { Put(text.data(), text.size()); }
  void Put(const char *data, size_t size) {
    if (file_ == nullptr) return;
    if (fwrite(data, 1, size, file_) != size) ok_ = false;
    size_ += size;
  }
  // |bytes| as hex digits, upper- or lower-case.
  void PutHex(const std::vector<uint8_t> &bytes, bool upper) {
    const char *digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    line_.resize(2 * bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
      line_[2 * i] = digits[bytes[i] >> 4];
      line_[2 * i + 1] = digits[bytes[i] & 0x0f];
    }
    Put(line_);
  }
  bool Close() {
    if (file_ == nullptr) return false;
    bool closed = fclose(file_) == 0;
    file_ = nullptr;
    return ok_ && closed;
  }
  uint64_t size() const { return size_; }

 private:
  FILE *file_;
  bool ok_ = true;
  uint64_t size_ = 0;
  std::string line_;
};

std::string ModeTag(int id, int target, bool is_default, const char *name,
                    int num_features) {
  const char *gamut = kGamuts[(target / 2) % 4];
  const char *range = kRanges[target % 2];
  return "        <Mode ModeID=\"" + std::to_string(id) + "\" DisplayID=\"" +
         std::to_string(target / kTargetsPerDisplay) +
         "\" IsDefaultMode=\"" + (is_default ? "1" : "0") +
         "\" IsAppMode=\"0\" Name=\"" + name + "_" + std::to_string(id) +
         "\" NumOfFeatures=\"" + std::to_string(num_features) +
         "\" WhitePoint=\"6500\" EValue=\"0\" BValue=\"0\" RValue=\"0\" "
         "DynamicRange=\"" + range + "\" ColorGamut=\"" + gamut +
         "\" PictureQuality=\"standard\" RenderIntent=\"0\" IsMerge=\"0\">\n";
}

bool WriteFile(const std::string &path, const CalibShape &shape, bool qa,
               uint64_t *size) {
  Writer out(path);
  ByteStream stream(qa ? 0x51a0c0ffeeull : 0xfac70e5eedull);
  out.Put(
      "<?xml version=\"1.0\" ?>\n"
      "<!-- Generated display calibration data for benchmarks. -->\n"
      "<Calib_Data>\n");
  out.Put("    <Disp_Modes NumModes=\"" + std::to_string(shape.modes) +
          "\" DefaultMode=\"0\">\n");
  int features = qa ? shape.qa_features : shape.factory_features;
  std::vector<uint8_t> payload(shape.payload_size);
  for (int i = 0; i < shape.modes; ++i) {
    int target = qa ? i : shape.modes - 1 - i;
    out.Put(ModeTag(i, target, i == 0, qa ? "qa" : "factory", features));
    for (int type = 0; type < features; ++type) {
      out.Put("            <Feature FeatureType=\"" + std::to_string(type) +
              "\" Disable=\"false\" DataSize=\"" +
              std::to_string(shape.payload_size) + "\">");
      stream.Fill(payload.data(), payload.size());
      // Factory files carry lower-case digits, as hand-made files may.
      out.PutHex(payload, qa);
      out.Put("</Feature>\n");
    }
    out.Put("        </Mode>\n");
  }
  out.Put("    </Disp_Modes>\n");
  if (qa && shape.lut_packets > 0) {
    out.Put(
        "    <Luts NumLuts=\"1\">\n"
        "        <Lut Type=\"0\" NumPackets=\"" +
        std::to_string(shape.lut_packets) + "\">");
    std::vector<uint8_t> packets(static_cast<size_t>(shape.lut_packets) * 16);
    stream.Fill(packets.data(), packets.size());
    out.PutHex(packets, true);
    out.Put("</Lut>\n    </Luts>\n");
  }
  out.Put("</Calib_Data>\n");
  *size = out.size();
  return out.Close();
}

}  // namespace

bool WriteCalibFiles(const std::string &dir, const CalibShape &shape,
                     CalibFiles *files) {
  files->qa = dir + "/qa.xml";
  files->factory = dir + "/factory.xml";
  return WriteFile(files->qa, shape, true, &files->qa_bytes) &&
         WriteFile(files->factory, shape, false, &files->factory_bytes);
}

}  // namespace rimbolt_bench
