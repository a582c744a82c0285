// Helpers shared by the unit tests of the calibration database.
#ifndef TESTS_UNIT_UNIT_UTIL_H_
#define TESTS_UNIT_UNIT_UTIL_H_

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <tinyxml2.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "calib_db/xml_database_test.h"
#include "tests/test_util.h"

namespace rimbolt_test {

using Bytes = std::vector<unsigned char>;
using Lines = std::vector<std::string>;

// Log lines as the host log writes them, without their source line.
inline std::string Info(const std::string &op, const std::string &text) {
  return "I/Rimbolt: " + op + "() " + text;
}
inline std::string Error(const std::string &op, const std::string &text) {
  return "E/Rimbolt: " + op + "() " + text;
}

// The log lines that |f| writes.
template <typename F>
Lines LogOf(F &&f) {
  LogCapture log;
  f();
  return WithoutLineNumbers(log.Lines());
}

// The document a database holds open. The encoder makes its text nodes with
// that document, which is the only way to reach it from outside.
inline tinyxml2::XMLDocument *DocumentOf(tavo::XmlDatabaseTest *db) {
  return db->ConvertUINT8ArrayToCharArray(nullptr, 0)->GetDocument();
}

// |node| and its subtree on one line.
inline std::string Compact(const tinyxml2::XMLNode *node) {
  tinyxml2::XMLPrinter printer(nullptr, true);
  node->Accept(&printer);
  return printer.CStr();
}

inline tavo::DispFeature *MakeFeature(unsigned type, const Bytes &payload,
                                      bool disable = false) {
  tavo::DispFeature *feature =
      tavo::DispFeature::Init(type, static_cast<int>(payload.size()), disable);
  if (!payload.empty())
    memcpy(feature->payload, payload.data(), payload.size());
  return feature;
}

inline std::unique_ptr<tavo::DispModes> MakeModes(int count,
                                                  int default_mode = 0) {
  return std::unique_ptr<tavo::DispModes>(
      tavo::DispModes::Init(tavo::kModeTypeStandard, default_mode, count));
}

inline void SetText(char (&field)[tavo::kNameSize], const std::string &text) {
  snprintf(field, tavo::kNameSize, "%s", text.c_str());
}

inline Bytes PayloadOf(const tavo::DispFeature *feature) {
  return Bytes(feature->payload, feature->payload + feature->size);
}

// The fields of |m| that a file carries, but its name, then its features
// as slot:type, "d" when disabled, and the payload in hex.
inline std::string Describe(const tavo::DispMode &m) {
  std::ostringstream out;
  out << m.mode_id << ' ' << m.disp_id << ' ' << m.is_default_mode
      << m.is_app_mode << m.is_merge << ' ' << m.num_features << ' '
      << m.white_point << ' ' << m.e_value << ' ' << m.b_value << ' '
      << m.r_value << " [" << m.dynamic_range << "][" << m.color_gamut << "]["
      << m.picture_quality << "] " << m.render_intent;
  for (int slot = 0; slot < tavo::kMaxFeatures; ++slot) {
    const tavo::DispFeature *f = m.features[slot];
    if (f == nullptr) continue;
    out << ' ' << slot << ':' << f->type << (f->disable ? "d" : "") << '='
        << (f->payload != nullptr ? Hex(PayloadOf(f)) : "null");
  }
  return out.str();
}

// One database on "calib.xml" in a private folder.
class DbTest : public testing::Test {
 protected:
  // Writes |body| into the root element of the file (a body that starts
  // with "<?xml" is the whole file; an empty one writes nothing), then opens
  // it with EditFile or LoadFile.
  void Open(const std::string &body, bool edit,
            tavo::FileType type = tavo::kFileTypeFactory) {
    if (!body.empty()) {
      WriteFile(path_, body.rfind("<?xml", 0) == 0
                           ? body
                           : "<?xml version=\"1.0\" ?>\n<Calib_Data>" + body +
                                 "</Calib_Data>\n");
    }
    db_ = std::make_unique<tavo::XmlDatabaseTest>(type, path_.c_str());
    ASSERT_EQ(edit ? db_->EditFile() : db_->LoadFile(), 0);
  }
  tinyxml2::XMLElement *Root() {
    return DocumentOf(db_.get())->FirstChildElement();
  }
  // Saves, and gives the file from its root element on.
  std::string SaveAndRead() {
    EXPECT_EQ(db_->SaveAndCloseFile(), 0);
    std::string file = ReadFile(path_);
    return file.substr(std::min(file.find("<Calib_Data"), file.size()));
  }

  TempDir dir_;
  const std::string path_ = dir_.File("calib.xml");
  std::unique_ptr<tavo::XmlDatabaseTest> db_;
};

}  // namespace rimbolt_test

#endif  // TESTS_UNIT_UNIT_UTIL_H_
