// The check engine: every finding in one file, from the tool's own reading
// of it and a scan of its bytes.
#include "inspect/rules/check_file.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "calib_db/lut_format.h"
#include "calib_db/mode_format.h"
#include "inspect/base/text.h"
#include "inspect/base/xml_tokens.h"
#include "inspect/rules/rules.h"

namespace inspect {

namespace {

// How many comments |node| holds, at any depth.
int CommentsUnder(const tinyxml2::XMLNode *node) {
  int count = 0;
  for (const tinyxml2::XMLNode *child = node->FirstChild(); child != nullptr;
       child = child->NextSibling()) {
    count += child->ToComment() != nullptr ? 1 : CommentsUnder(child);
  }
  return count;
}

// What the parser's |error| says of the bytes, in words; its own name for
// an error no bytes give. The bytes are parsed from memory, so that no
// error of opening or reading a file comes up.
std::string ErrorWords(tinyxml2::XMLError error) {
  static const std::map<tinyxml2::XMLError, std::string> kWords = {
      {tinyxml2::XML_ERROR_EMPTY_DOCUMENT,
       "the file is empty or only white space"},
      {tinyxml2::XML_ERROR_PARSING_ELEMENT, "a tag that is not closed"},
      {tinyxml2::XML_ERROR_PARSING_ATTRIBUTE,
       "an attribute that is not name=\"value\", or is given twice"},
      {tinyxml2::XML_ERROR_PARSING_TEXT, "text where an element was expected"},
      {tinyxml2::XML_ERROR_PARSING_CDATA, "a CDATA section that is not closed"},
      {tinyxml2::XML_ERROR_PARSING_COMMENT, "a comment that is not closed"},
      {tinyxml2::XML_ERROR_PARSING_DECLARATION,
       "a declaration <?...?> that is not closed, or not at the start of the "
       "file"},
      {tinyxml2::XML_ERROR_PARSING_UNKNOWN, "a <!...> that is not closed"},
      {tinyxml2::XML_ERROR_MISMATCHED_ELEMENT,
       "an element that is not closed, or closed by another name"},
      {tinyxml2::XML_ERROR_PARSING,
       "a '<' that starts no element, comment or declaration"},
      {tinyxml2::XML_ELEMENT_DEPTH_EXCEEDED,
       Format("elements nested more than %d deep", TINYXML2_MAX_ELEMENT_DEPTH)},
  };
  auto words = kWords.find(error);
  if (words != kWords.end()) return words->second;
  return tinyxml2::XMLDocument::ErrorIDToName(error);
}

// The file parsed as the reader parses it, for the line of an error and
// the parser's reason in words: the reader keeps no document that it could
// not open. The parser's own name of the error goes to |file|.
const tinyxml2::XMLDocument *ParsedAgain(
    CalibFile *file, std::unique_ptr<tinyxml2::XMLDocument> *doc,
    Findings *findings) {
  std::string bytes;
  if (file->unopened || !ReadWholeFile(file->path, &bytes).empty()) {
    findings->Fail(0, file->problem);
    return nullptr;
  }
  // tinyxml2 counts lines by line feeds alone; with each lone carriage
  // return made one, it parses the same and counts as XML does.
  for (size_t at = 0; at < bytes.size(); ++at) {
    if (EndsXmlLine(bytes.c_str() + at)) bytes[at] = '\n';
  }
  doc->reset(new tinyxml2::XMLDocument(true, tinyxml2::PRESERVE_WHITESPACE));
  tinyxml2::XMLError error = (*doc)->Parse(bytes.data(), bytes.size());
  if (error == tinyxml2::XML_SUCCESS) return doc->get();
  int line = (*doc)->ErrorLineNum();
  std::string reason = ErrorWords(error);
  if (line > 0) reason += Format(", line %d", line);
  size_t nul = bytes.find('\0');
  if (nul != std::string::npos) {
    reason += Format(
        "; a NUL byte on line %d ends what tinyxml2 reads",
        static_cast<int>(std::count(bytes.begin(), bytes.begin() + nul, '\n')) +
            1);
  }
  findings->Fail(line, file->problem + " (" + reason + ")");
  file->parser_error = tinyxml2::XMLDocument::ErrorIDToName(error);
  return nullptr;
}

// The tool's own verdict on |file| decides whether it fails; the elements
// of the document its reader read, with their lines, say where and why.
// |markup| is what the byte scan found, which counts only for a file that
// parses to a root; |lines| are the lines of the nodes, from the bytes.
void FindAll(CalibFile *file, const Findings &markup, const InternalDtd &dtd,
             const std::vector<XmlNodeLine> &lines, Findings *findings,
             int *comments) {
  std::unique_ptr<tinyxml2::XMLDocument> parsed;
  const tinyxml2::XMLDocument *doc = file->db->document();
  if (doc == nullptr) doc = ParsedAgain(file, &parsed, findings);
  if (doc == nullptr) return;
  findings->TakeLines(doc, lines);
  if (comments != nullptr) *comments = CommentsUnder(doc);
  const tinyxml2::XMLElement *root = doc->FirstChildElement();
  if (root == nullptr) {
    findings->Fail(0, file->problem);
    return;
  }
  findings->Append(markup);
  // A refused file gets the findings of every mode, as the reader would
  // have read them.
  CheckDtdDefaults(root, dtd,
                   file->modes != nullptr ? file->modes->num_modes : UINT32_MAX,
                   findings);
  CheckOutsideRoot(doc, findings);
  const tinyxml2::XMLElement *modes =
      root->FirstChildElement(tavo::mode_format::kDispModes);
  if (modes == nullptr) {
    findings->Fail(findings->LineOf(root),
                   "no Disp_Modes under the root: " + file->problem);
    return;
  }
  int refused = CheckModeSection(modes, file->modes.get(), dtd, findings);
  if (file->modes == nullptr) {
    findings->Fail(
        refused != 0 ? refused : findings->LineOf(modes),
        refused != 0 ? file->problem : file->problem + ListLimit(modes));
  }
  const tinyxml2::XMLElement *luts =
      root->FirstChildElement(tavo::lut_format::kLuts);
  if (luts != nullptr) CheckLutSection(luts, dtd, findings);
  CheckNames(root, findings);
}

}  // namespace

std::vector<Finding> CheckFile(const std::string &path,
                               std::unique_ptr<CalibFile> *read,
                               int *comments) {
  if (comments != nullptr) *comments = 0;
  // The bytes are scanned and let go before the reader holds the file, so
  // that the two are never in memory together.
  Findings markup;
  InternalDtd dtd;
  std::vector<XmlNodeLine> lines;
  std::string problem;
  {
    std::string bytes;
    problem = ReadWholeFile(path, &bytes);
    if (problem.empty()) {
      dtd = ReadInternalDtd(bytes);
      CheckMarkup(bytes, &dtd, &markup);
      lines = XmlNodeLines(bytes);
    }
  }
  std::unique_ptr<CalibFile> file = ReadCalibFile(path);
  std::vector<Finding> found;
  if (problem == kTooLarge) {
    // Read no further, nor again: nothing is known of what the tool makes
    // of it.
    found = {{0, true, "unreadable", TooLargeProblem(path)}};
  } else {
    Findings findings;
    FindAll(file.get(), markup, dtd, lines, &findings, comments);
    found = findings.Sorted();
  }
  if (read != nullptr) *read = std::move(file);
  return found;
}

}  // namespace inspect
