// Saving a document, or any file's whole content, to disk.
#ifndef CALIB_DB_DOCUMENT_FILE_H_
#define CALIB_DB_DOCUMENT_FILE_H_

#include <stdio.h>

#include <functional>
#include <string>

#include <tinyxml2.h>

namespace tavo {

// Prints a file's whole new content into |file|; false when printing failed.
// One save may call it a second time, on a fresh file, when the first file
// cannot be named; it must print the same content each time.
using FilePrinter = std::function<bool(FILE *file)>;

// Saves the content that |print| writes to |path|, atomically: it goes to a
// temporary file in the folder of the file |path| names (symbolic links
// followed, and kept), unnamed where the file system allows and named
// "<name>.tmp-..." where it does not or where the unnamed file cannot be
// given a name (no /proc, linkat refused); it is flushed to disk, and only
// then replaces that file, keeping its owner and group (where the process
// may set them) and its mode. An existing file is replaced only where a
// plain open of it for writing is allowed (root passes as a plain write
// does); else nothing is written. A hard-linked file is replaced at the
// name the save reached: its other names keep the old content. Where |path|
// names (links followed) something that is no regular file, such as a
// device, FIFO or socket, |path| itself is opened and written into as a
// shell redirection does: no temporary file, nothing replaced, nothing
// synced; a FIFO without a reader blocks the open. Run as root, it follows
// only links that root owns: at another user's link (LinkRefusedAt) it
// writes nothing and leaves the link and what it names as they were.
// Temporary files that interrupted saves left are removed when no other
// save is running. Where no file can be made in the folder but an existing
// output may be written, that file is rewritten in place, which is not
// atomic (a link found there then is not followed). 0 on success; kFailure
// (of xml_database_test.h) when a link was refused, the file may not be
// written, |print| failed, or any open, write, flush, sync, close or the
// replacement failed, in which case an atomic save leaves |path| as it was
// and no temporary file. After a refused open or a failed write, errno
// holds the system's reason (EACCES, ENOSPC).
int SaveFileContent(const char *path, const FilePrinter &print);

// Prints |doc| into |file| in tinyxml2's non-compact form, the form every
// save of a document has. Returns true; the stream's error flag tells
// whether a write failed.
bool PrintDocument(const tinyxml2::XMLDocument *doc, FILE *file);

// As SaveFileContent, with |doc| printed by PrintDocument.
int SaveDocument(const tinyxml2::XMLDocument *doc, const char *path);

// The symbolic link that a save to |path| refuses to follow: when the
// process runs as root, the first link on the way from |path| to the file it
// names that root does not own (|path| itself or a later hop). Empty when
// there is none, and always when the process is not root. Reads no file.
std::string LinkRefusedAt(const char *path);

}  // namespace tavo

#endif  // CALIB_DB_DOCUMENT_FILE_H_
