// The checks of a file's mode and LUT sections, element by element, along
// the reader's own path through them.
#ifndef INSPECT_RULES_RULES_H_
#define INSPECT_RULES_RULES_H_

#include <tinyxml2.h>

#include <map>
#include <string>

#include "color_lib/disp_mode.h"
#include "inspect/model/findings.h"
#include "inspect/rules/dtd.h"
#include "inspect/rules/fields.h"

namespace inspect {

// Checks |section|, the "Disp_Modes" element the reader takes, and the
// modes it reads from it, naming the entities |dtd| declares where it
// reads them. |modes| is what the reader made of the section,
// or null when it refused it. Returns the line of the first element the
// reader refuses, or 0.
int CheckModeSection(const tinyxml2::XMLElement *section,
                     const tavo::DispModes *modes, const InternalDtd &dtd,
                     Findings *findings);

// Why the colour library made no mode list for |section|, the
// "Disp_Modes" element whose modes the reader could not read although it
// refused none of them: " (the colour library makes lists of at most 1024
// modes, NumModes asks for 2000)". Asks the library, with counts below
// the one the reader asked for.
std::string ListLimit(const tinyxml2::XMLElement *section);

// Checks |section|, the "Luts" element the reader takes.
void CheckLutSection(const tinyxml2::XMLElement *section,
                     const InternalDtd &dtd, Findings *findings);

// Checks the file's |bytes|, which tinyxml2 parses, for what other XML
// tools refuse or read otherwise: markup, characters and encoding.
// |dtd| is the file's internal DTD, whose entities they read; the
// references to them that other rules report are put in its
// read_references instead.
void CheckMarkup(const std::string &bytes, InternalDtd *dtd,
                 Findings *findings);

// Checks the names under |root| that the reader passes over: elements and
// attributes it does not know, and sections after the first of their kind.
void CheckNames(const tinyxml2::XMLElement *root, Findings *findings);

// Whether the reader reads |attribute| of an element named |element|.
bool IsKnownAttribute(const char *element, const char *attribute);

// Checks the elements |doc| holds beside its root element, which other
// XML tools refuse and the tool does not read.
void CheckOutsideRoot(const tinyxml2::XMLDocument *doc, Findings *findings);

}  // namespace inspect

#endif  // INSPECT_RULES_RULES_H_
