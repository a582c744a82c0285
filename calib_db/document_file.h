// Saving a document to disk.
#ifndef CALIB_DB_DOCUMENT_FILE_H_
#define CALIB_DB_DOCUMENT_FILE_H_

#include <tinyxml2.h>

namespace tavo {

// Saves |doc| to |path| in tinyxml2's non-compact form. 0 on success, -22
// when any part of the write failed.
int SaveDocument(tinyxml2::XMLDocument *doc, const char *path);

}  // namespace tavo

#endif  // CALIB_DB_DOCUMENT_FILE_H_
