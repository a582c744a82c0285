// One display-calibration XML file: its path and kind and, while it is open,
// its tinyxml2 document. Reads and writes the mode and LUT sections.
#ifndef CALIB_DB_XML_DATABASE_TEST_H_
#define CALIB_DB_XML_DATABASE_TEST_H_

#include <stdint.h>

#include <tinyxml2.h>

#include "calib_db/text_arena.h"

#include "color_lib/disp_lut.h"
#include "color_lib/disp_mode.h"

namespace tavo {

// Largest feature payload in bytes, and largest PCC packet count.
constexpr uint32_t kMaxPayloadSize = 122023;
constexpr int kPathSize = 256;

enum FileType : int32_t {
  kFileTypeQa = 0,
  kFileTypeFactory = 1,
  kFileTypeAppMode = 2,
};

class XmlDatabaseTest {
 public:
  XmlDatabaseTest(FileType file_type, const char *file_name);
  ~XmlDatabaseTest();

  XmlDatabaseTest(const XmlDatabaseTest &) = delete;
  XmlDatabaseTest &operator=(const XmlDatabaseTest &) = delete;

  // File lifecycle. 0 on success, -22 on failure.
  int LoadFile();
  int EditFile();
  int SaveAndCloseFile();
  void CloseFile();

  // Hex payload codec.
  tinyxml2::XMLText *ConvertUINT8ArrayToCharArray(const uint8_t *bytes,
                                                  uint32_t count);
  static void ConvertCharArrayToUINT8Array(const char *text, uint8_t *bytes,
                                           uint32_t count);

  // Mode section.
  int AddModes(DispModes *modes);
  int AddMode(DispMode *mode);
  DispModes *ReadModes();

  // LUT section. The set returned by GetLuts stays owned by this object.
  DispLuts *GetLuts();
  int GetLutsFromNode(tinyxml2::XMLElement *luts_element, DispLuts *luts);
  int AddLuts(DispLuts *luts);
  template <typename T>
  int AddLutInNode(tinyxml2::XMLElement *luts_element, DispLut<T> *lut);

 private:
  // Opens a fresh document into xml_doc_ and loads file_name_ into it.
  tinyxml2::XMLError OpenDocument();
  void DropDocument();
  // Removes everything inside the root element and lets go of the memory
  // the loaded file's text took.
  void EmptyRoot();
  int CreateSkeletonFile();
  void WriteModeAttributes(tinyxml2::XMLElement *mode_element,
                           const DispMode *mode);
  static int ReadMode(const tinyxml2::XMLElement *mode_element, int index,
                      DispMode *mode);
  static int ReadFeature(const tinyxml2::XMLElement *feature_element,
                         DispMode *mode);

  char file_name_[kPathSize];
  tinyxml2::XMLDocument *xml_doc_;
  FileType file_type_;
  DispLuts *luts_;
  tinyxml2::XMLElement *root_node_;
  // Payload texts that text nodes of xml_doc_ point to rather than copy;
  // they go with the document.
  TextArena payload_texts_;
};

template <>
int XmlDatabaseTest::AddLutInNode<PccLut>(tinyxml2::XMLElement *luts_element,
                                          DispLut<PccLut> *lut);

}  // namespace tavo

#endif  // CALIB_DB_XML_DATABASE_TEST_H_
