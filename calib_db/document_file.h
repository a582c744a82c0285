// Saving a document to disk.
#ifndef CALIB_DB_DOCUMENT_FILE_H_
#define CALIB_DB_DOCUMENT_FILE_H_

#include <tinyxml2.h>

namespace tavo {

// Saves |doc| to |path| in tinyxml2's non-compact form, atomically: the
// text goes to a temporary file in the folder of the file |path| names
// (symbolic links followed, and kept), unnamed where the file system allows,
// is flushed to disk, and only then replaces that file, keeping its owner
// and group (where the process may set them) and its mode. Temporary files
// that interrupted saves left are removed when no other save is running.
// Where no file can be made in the folder but an existing output may be
// written, it is rewritten in place, which is not atomic. 0 on success;
// kFailure (of xml_database_test.h) when any write, flush, sync, close or
// the replacement failed, in which case an atomic save leaves |path| as it
// was and no temporary file.
int SaveDocument(tinyxml2::XMLDocument *doc, const char *path);

}  // namespace tavo

#endif  // CALIB_DB_DOCUMENT_FILE_H_
