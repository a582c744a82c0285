// Saving a document to disk.
#ifndef CALIB_DB_DOCUMENT_FILE_H_
#define CALIB_DB_DOCUMENT_FILE_H_

#include <tinyxml2.h>

namespace tavo {

// Saves |doc| to |path| in tinyxml2's non-compact form, atomically: the
// text goes to a temporary file beside |path|, is flushed to disk, and only
// then replaces |path|. 0 on success; -22 when any write, flush, close or
// the replacement failed, in which case |path| is left as it was and the
// temporary file is removed.
int SaveDocument(tinyxml2::XMLDocument *doc, const char *path);

}  // namespace tavo

#endif  // CALIB_DB_DOCUMENT_FILE_H_
