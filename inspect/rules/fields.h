// The checks of single fields that the mode and LUT sections share.
#ifndef INSPECT_RULES_FIELDS_H_
#define INSPECT_RULES_FIELDS_H_

#include <stdint.h>
#include <tinyxml2.h>

#include <string>
#include <string_view>

#include "inspect/model/findings.h"
#include "inspect/rules/dtd.h"

namespace inspect {

// XML's white space: a space, a tab, a line feed or a carriage return.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// How many child elements named |name| |element| has.
int CountChildren(const tinyxml2::XMLElement *element, const char *name);

// "no NumModes", with the default |dtd| gives it, if any, in parentheses.
std::string Absent(const tinyxml2::XMLElement *element, const char *name,
                   const InternalDtd &dtd);

// "NumModes is 3", or "there is " + Absent when |element| lacks it.
std::string Declared(const tinyxml2::XMLElement *element, const char *name,
                     const InternalDtd &dtd);

// Warns with "number-form" when |element|'s attribute |name| is not the
// plain decimal that the reader's atoi reads it as or, for a numeric
// |flag|, not the "1" or "0" the writer puts for it; an entity |dtd|
// declares in it is named in that finding.
void CheckNumber(const tinyxml2::XMLElement *element, const char *name,
                 const InternalDtd &dtd, Findings *findings, bool flag = false);

// Whether a rule reads |attribute| of |element| (or, for null, its
// payload) as the tool does and names an entity declared in it there.
bool NamesDeclaredEntities(std::string_view element, const char *attribute);

// Checks the payload text of |element| against the |needed| digits that
// |what| ("DataSize 4", "no DataSize") asks for, white space taken as
// layout: "payload-length" when it has other digits than the reader takes,
// "payload-not-hex" when the reader takes characters that are not
// hexadecimal digits (one finding, with the bytes that come out wrong),
// "payload-case" for lower-case digits. An entity |dtd| declares in it is
// named in the first of them, and no payload-case is reported beside it.
void CheckPayload(const tinyxml2::XMLElement *element, uint64_t needed,
                  const std::string &what, const InternalDtd &dtd,
                  Findings *findings);

}  // namespace inspect

#endif  // INSPECT_RULES_FIELDS_H_
