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
// What every operation returns on failure: -EINVAL, as the callers expect.
constexpr int kFailure = -22;

enum FileType : int32_t {
  kFileTypeQa = 0,
  kFileTypeFactory = 1,
  kFileTypeAppMode = 2,
};

// Only EditFile and SaveAndCloseFile write files; the section writers change
// the open document in memory and undo nothing when they fail part way.
class XmlDatabaseTest {
 public:
  // Opens nothing and cannot fail. A null |file_name| is taken as "". A path
  // longer than 255 characters is not cut to another path: LoadFile and
  // EditFile then log the limit and fail, reading and writing nothing.
  XmlDatabaseTest(FileType file_type, const char *file_name);
  // Drops an open document unsaved and releases the set GetLuts returned.
  ~XmlDatabaseTest();

  XmlDatabaseTest(const XmlDatabaseTest &) = delete;
  XmlDatabaseTest &operator=(const XmlDatabaseTest &) = delete;

  // Opens the file for reading. A document already open (by LoadFile or
  // EditFile) is kept as it is, not reloaded. Returns 0 iff a document with a
  // root element is open, else kFailure with none open. Never writes.
  int LoadFile();
  // Drops any open document unsaved and opens the file afresh for editing.
  // When the file does not load, the document is the skeleton (the
  // declaration, a notice comment and an empty root). Where nothing is at
  // the path (or a folder), the skeleton file is made there first; where a
  // file is (an unreadable or not parseable one, a device), it is left as
  // it was and the skeleton reaches it only through SaveAndCloseFile. Run
  // as root, it neither reads nor writes through a symbolic link that root
  // does not own (LinkRefusedAt of document_file.h): it logs the link and
  // fails. Returns 0 iff the file is open with its root element, else
  // kFailure with none open.
  int EditFile();
  // Writes the open document to the file and closes it, also when the write
  // fails. The file is replaced whole, or kept as it was on failure (and
  // when a plain open of it for writing is refused), unless no file can be
  // made beside it and it is rewritten in place; a device, FIFO or socket
  // is written into (see SaveFileContent). Run as root, it writes nothing
  // through a symbolic link that root does not own, and logs the link.
  // Returns 0 iff it was saved, else kFailure; kFailure too, writing
  // nothing, when no document is open.
  int SaveAndCloseFile();
  // Does nothing: an open document stays open until SaveAndCloseFile,
  // EditFile or destruction.
  void CloseFile();
  // The open document, to be read beside what ReadModes and GetLuts made
  // of it (its nodes carry their line numbers); null when none is open. It
  // stays owned by this object and goes with the next EditFile,
  // SaveAndCloseFile or destruction.
  const tinyxml2::XMLDocument *document() const { return xml_doc_; }

  // Returns a new text node of the open document holding the |count| bytes
  // at |bytes| as 2 * |count| upper-case hex digits, not yet linked in; the
  // document owns the node and its text. |bytes| is not read when |count| is
  // 0. Returns null, without logging, when no document is open, |bytes| is
  // null for a nonzero |count|, |count| exceeds 0x3fffffff or memory runs
  // out.
  tinyxml2::XMLText *ConvertUINT8ArrayToCharArray(const uint8_t *bytes,
                                                  uint32_t count);
  // Decodes the first 2 * |count| characters of |text| into |bytes|, which
  // must hold |count| bytes. Does nothing when |text| is null or |count| is
  // 0. A shorter text ends the decoding at its NUL: the bytes it does not
  // reach keep what they held, and a lone last digit gives the high nibble
  // of its byte with a low nibble of 0. Characters are not checked: each
  // gives a nibble as hex_kernels::DigitValue says. Never fails.
  static void ConvertCharArrayToUINT8Array(const char *text, uint8_t *bytes,
                                           uint32_t count);

  // |modes| must be non-null, with |num_modes| modes; it is only read.
  // Removes everything under the root element (the earlier modes, the LUT
  // section, comments and text), keeping the root's name and attributes and
  // what lies outside it, then writes the mode section: "DefaultMode" from
  // |modes|, then each mode by AddMode. Pointers into the document taken
  // before the call are invalid after it. Returns 0 iff every mode was
  // written, else kFailure (none open, or at the first mode that failed,
  // keeping those before it).
  int AddModes(DispModes *modes);
  // |mode| must be non-null; it is only read. Appends it to the mode
  // section, creating the section when the root has none. Adds one to an
  // existing "NumModes" (read as atoi does) when its text is at most nine
  // characters and not negative. A default mode becomes "DefaultMode". A
  // feature without payload is written without one. Returns 0 iff the mode
  // was written whole, else kFailure: none open, a section without
  // "NumModes", or a payload over kMaxPayloadSize bytes or one that cannot
  // be encoded (the mode then stays part written).
  int AddMode(DispMode *mode);
  // Returns a new list of the mode section's modes, sized by its "NumModes"
  // (further "Mode" elements are ignored). The caller owns the list and
  // releases it with delete, which releases its modes, features and
  // payloads. Returns null, leaving nothing allocated, when no document is
  // open, there is no mode section, the list cannot be made, or a mode or
  // feature is invalid. Changes nothing in the document.
  DispModes *ReadModes();

  // Returns a new set holding the LUT section, empty when there is none;
  // an error inside the section leaves the set as far as it was filled.
  // The set stays owned by this object: the caller must not release it. It
  // does not depend on the open document, and is released by the next
  // GetLuts that finds a document open (which replaces it) or on
  // destruction. Returns null when no document is open (keeping the earlier
  // set) or the set cannot be made (the earlier set is released then).
  DispLuts *GetLuts();
  // Reads the section |luts_element| into |luts|, both non-null: "NumLuts"
  // into |num_luts|, then the PCC LUTs with "NumPackets" among the first
  // kMaxLuts "Lut" elements, each replacing what the slot of its position
  // held. Returns 0, or kFailure at the first error ("NumLuts" missing or
  // outside 1 to 999, more "Lut" elements than it says, more packets than
  // kMaxPayloadSize, or no memory), keeping what was stored before.
  int GetLutsFromNode(tinyxml2::XMLElement *luts_element, DispLuts *luts);
  // Replaces the root's first "Luts" element with a section, appended at the
  // root's end, from |luts|, which is only read. Only slot 0 is written, and
  // it must hold a DispLut<PccLut> when it is set; the other slots are
  // logged and skipped. Returns 0 iff slot 0 was written or is empty, else
  // kFailure: none open (logged), |luts| null (not logged, and nothing
  // changed), or slot 0 failed (the new section then stays part written).
  int AddLuts(DispLuts *luts);
  // Appends |lut| to |luts_element|, an element of the open document, after
  // removing its first child element of the same "Type" (and counting that
  // one out of "NumLuts" where it has one). A LUT that is not PCC, or has no
  // LUT or packets, is written without packets. Returns 0 iff the element
  // was written, else kFailure: a null argument, or packets that cannot be
  // encoded. Only PccLut is defined.
  template <typename T>
  int AddLutInNode(tinyxml2::XMLElement *luts_element, DispLut<T> *lut);

 private:
  // Opens a fresh document into xml_doc_ and loads file_name_ into it.
  tinyxml2::XMLError OpenDocument();
  void DropDocument();
  // True when a document is open; else logs the "No file is currently
  // loaded" line for |operation| and returns false.
  bool IsOpen(const char *operation) const;
  // Removes everything inside the root element and lets go of the memory
  // the loaded file's text took.
  void EmptyRoot();
  // Puts the skeleton into the open document xml_doc_, whose file did not
  // load: saved to a missing file and loaded back, or, where something is at
  // the path, parsed from its saved form without writing. Logs and returns
  // kFailure when the save or the load fails, else 0.
  int CreateSkeleton();
  void WriteModeAttributes(tinyxml2::XMLElement *mode_element,
                           const DispMode *mode);
  static int ReadMode(const tinyxml2::XMLElement *mode_element, int index,
                      DispMode *mode);
  static int ReadFeature(const tinyxml2::XMLElement *feature_element,
                         DispMode *mode);

  char file_name_[kPathSize];
  // The path given was longer than file_name_ keeps.
  bool path_too_long_;
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
