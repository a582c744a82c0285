// Construction, destruction and the open/edit/save operations of a
// calibration file.
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "calib_db/db_log.h"
#include "calib_db/document_file.h"
#include "calib_db/xml_database_test.h"

namespace tavo {

namespace {

constexpr char kDeclaration[] = "xml version=\"1.0\" ";
constexpr char kNotice[] =
    " Copyright (C) 2026 The Rimbolt Project. All rights reserved.\n"
    " Display calibration data: edit with care, payloads are hexadecimal. ";
constexpr char kRootName[] = "Calib_Data";

tinyxml2::XMLDocument *NewDocument() {
  return new tinyxml2::XMLDocument(true, tinyxml2::PRESERVE_WHITESPACE);
}

// False, logged for |operation|, when a run as root would follow another
// user's symbolic link at |path|: it is neither read through nor written.
bool LinksMayBeFollowed(const char *operation, const char *path) {
  std::string link = LinkRefusedAt(path);
  if (link.empty()) return true;
  DB_LOGE(operation,
          "Not following symbolic link %s, which root does not own: nothing "
          "is written.",
          link.c_str());
  return false;
}

}  // namespace

XmlDatabaseTest::XmlDatabaseTest(FileType file_type, const char *file_name)
    : xml_doc_(nullptr),
      file_type_(file_type),
      luts_(nullptr),
      root_node_(nullptr) {
  const char *name = file_name != nullptr ? file_name : "";
  // A longer path is kept only to be named in the refusal: cut, it would
  // name another file.
  path_too_long_ =
      strlcpy(file_name_, name, sizeof(file_name_)) >= sizeof(file_name_);
}

XmlDatabaseTest::~XmlDatabaseTest() {
  DropDocument();
  if (luts_ != nullptr) {
    delete luts_;
    luts_ = nullptr;
  }
}

tinyxml2::XMLError XmlDatabaseTest::OpenDocument() {
  xml_doc_ = NewDocument();
  return xml_doc_->LoadFile(file_name_);
}

void XmlDatabaseTest::EmptyRoot() {
  root_node_->DeleteChildren();
  // What is left of a loaded file is now the few nodes around an empty
  // root; copied into a fresh document, they no longer hold the whole text
  // the old one was parsed from, so that a run which replaces an existing
  // output needs no more memory than one that makes it.
  tinyxml2::XMLDocument *fresh = NewDocument();
  tinyxml2::XMLElement *root = nullptr;
  for (const tinyxml2::XMLNode *node = xml_doc_->FirstChild(); node != nullptr;
       node = node->NextSibling()) {
    tinyxml2::XMLNode *copy = fresh->InsertEndChild(node->DeepClone(fresh));
    if (node == root_node_) root = copy->ToElement();
  }
  DropDocument();
  xml_doc_ = fresh;
  root_node_ = root;
}

void XmlDatabaseTest::DropDocument() {
  delete xml_doc_;
  xml_doc_ = nullptr;
  payload_texts_.Clear();
}

bool XmlDatabaseTest::IsOpen(const char *operation) const {
  if (xml_doc_ != nullptr && root_node_ != nullptr) return true;
  DB_LOGE(operation, "No file is currently loaded: root_node:%d",
          RootNodeNumber(root_node_));
  return false;
}

int XmlDatabaseTest::LoadFile() {
  if (xml_doc_ != nullptr) return 0;
  if (path_too_long_) {
    DB_LOGE("LoadFile",
            "Couldn't load file (%s...): its path is longer than the 255 "
            "characters the tool keeps.",
            file_name_);
    return kFailure;
  }
  if (OpenDocument() != tinyxml2::XML_SUCCESS) {
    DB_LOGE("LoadFile", "Couldn't load file (%s).", file_name_);
    DropDocument();
    return kFailure;
  }
  DB_LOGI("LoadFile", "File (%s) loaded.", file_name_);
  root_node_ = xml_doc_->FirstChildElement();
  if (root_node_ == nullptr) {
    DB_LOGE("LoadFile",
            "Could not open the root node in display calibration file: "
            "\"Calib_Data\"");
    DropDocument();
    return kFailure;
  }
  return 0;
}

int XmlDatabaseTest::CreateSkeleton() {
  tinyxml2::XMLDocument *skeleton = NewDocument();
  skeleton->InsertFirstChild(skeleton->NewDeclaration(kDeclaration));
  skeleton->InsertEndChild(skeleton->NewComment(kNotice));
  skeleton->InsertEndChild(skeleton->NewElement(kRootName));
  // Only a file is kept until the save: where nothing is, or a folder that
  // no save can replace, the skeleton goes to disk now, as it always did.
  struct stat info;
  if (stat(file_name_, &info) != 0 || S_ISDIR(info.st_mode)) {
    int result = SaveDocument(skeleton, file_name_);
    delete skeleton;
    if (result != 0) {
      DB_LOGE("EditFile", "Failed to save file: %s", file_name_);
      return kFailure;
    }
    if (xml_doc_->LoadFile(file_name_) != tinyxml2::XML_SUCCESS) {
      DB_LOGE("EditFile", "Failed to load file: %s", file_name_);
      return kFailure;
    }
    return 0;
  }
  // Parsed from its own saved form, the document is the one a reload of a
  // saved skeleton gives, so the output comes out byte for byte the same.
  tinyxml2::XMLPrinter printer(nullptr, false);
  skeleton->Print(&printer);
  delete skeleton;
  if (xml_doc_->Parse(printer.CStr(), printer.CStrSize() - 1) !=
      tinyxml2::XML_SUCCESS) {
    DB_LOGE("EditFile", "Failed to load file: %s", file_name_);
    return kFailure;
  }
  return 0;
}

int XmlDatabaseTest::EditFile() {
  DropDocument();
  if (path_too_long_) {
    DB_LOGE("EditFile",
            "Failed to load file: %s...: its path is longer than the 255 "
            "characters the tool keeps.",
            file_name_);
    return kFailure;
  }
  if (!LinksMayBeFollowed("EditFile", file_name_)) return kFailure;
  if (OpenDocument() != tinyxml2::XML_SUCCESS) {
    DB_LOGI("EditFile", "File doesn't exist. Creating new.");
    if (CreateSkeleton() != 0) {
      DropDocument();
      return kFailure;
    }
  }
  root_node_ = xml_doc_->FirstChildElement();
  if (root_node_ == nullptr) {
    DB_LOGE("EditFile",
            "Could not open the root node in display calibration file: "
            "\"Calib_Data\"");
    DropDocument();
    return kFailure;
  }
  DB_LOGI("EditFile", "File loaded for editing successfully: %s", file_name_);
  return 0;
}

int XmlDatabaseTest::SaveAndCloseFile() {
  if (xml_doc_ == nullptr) {
    DB_LOGE("SaveAndCloseFile", "No file is currently loaded.");
    return kFailure;
  }
  int result = LinksMayBeFollowed("SaveAndCloseFile", file_name_)
                   ? SaveDocument(xml_doc_, file_name_)
                   : kFailure;
  DropDocument();
  if (result != 0) {
    DB_LOGE("SaveAndCloseFile", "Failed to save file: %s", file_name_);
    return kFailure;
  }
  DB_LOGI("SaveAndCloseFile", "File saved and closed successfully: %s",
          file_name_);
  return 0;
}

void XmlDatabaseTest::CloseFile() {}

}  // namespace tavo
