// Helpers shared by the unit tests of the calibration database.
#ifndef TESTS_UNIT_UNIT_UTIL_H_
#define TESTS_UNIT_UNIT_UTIL_H_

#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "calib_db/xml_database_test.h"
#include "tests/test_util.h"

namespace rimbolt_test {

using Bytes = std::vector<unsigned char>;
using Lines = std::vector<std::string>;

// The document a database holds open. The encoder makes its text nodes with
// that document, which is the only way to reach it from outside.
inline tinyxml2::XMLDocument *DocumentOf(tavo::XmlDatabaseTest *db) {
  return db->ConvertUINT8ArrayToCharArray(nullptr, 0)->GetDocument();
}

// A database on |name| in |dir|, written with |content| first unless empty.
inline std::unique_ptr<tavo::XmlDatabaseTest> MakeDb(
    const TempDir &dir, const std::string &content,
    tavo::FileType type = tavo::kFileTypeQa,
    const std::string &name = "calib.xml") {
  if (!content.empty()) WriteFile(dir.File(name), content);
  return std::make_unique<tavo::XmlDatabaseTest>(type,
                                                 dir.File(name).c_str());
}

// A file holding |body| inside the root element.
inline std::string CalibFile(const std::string &body) {
  return "<?xml version=\"1.0\" ?>\n<Calib_Data>" + body + "</Calib_Data>\n";
}

// The saved file from its root element on: the skeleton's notice is left
// out.
inline std::string FromRoot(const std::string &file) {
  size_t at = file.find("<Calib_Data");
  return at == std::string::npos ? file : file.substr(at);
}

inline tavo::DispFeature *MakeFeature(unsigned type, const Bytes &payload,
                                      bool disable = false) {
  tavo::DispFeature *feature = tavo::DispFeature::Init(
      type, static_cast<int>(payload.size()), disable);
  if (feature != nullptr && !payload.empty()) {
    memcpy(feature->payload, payload.data(), payload.size());
  }
  return feature;
}

inline void SetText(char (&field)[tavo::kNameSize], const std::string &text) {
  strncpy(field, text.c_str(), tavo::kNameSize - 1);
  field[tavo::kNameSize - 1] = '\0';
}

inline Bytes PayloadOf(const tavo::DispFeature *feature) {
  return Bytes(feature->payload, feature->payload + feature->size);
}

}  // namespace rimbolt_test

#endif  // TESTS_UNIT_UNIT_UTIL_H_
