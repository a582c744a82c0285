#include "calib_db/document_file.h"

namespace tavo {

int SaveDocument(tinyxml2::XMLDocument *doc, const char *path) {
  return doc->SaveFile(path, false) == tinyxml2::XML_SUCCESS ? 0 : -22;
}

}  // namespace tavo
