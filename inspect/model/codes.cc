#include "inspect/model/codes.h"

#include <string.h>

namespace inspect {

const Code kCodes[] = {
    {"unreadable", true, Rewrite::kRefused,
     "fails: the file cannot be opened or parsed (the system's or the "
     "parser's reason, with its line), has no root element or no "
     "`Disp_Modes`, or the mode reader or the colour library refuses it; the "
     "message carries the reason the tool logs"},
    {"num-modes-mismatch", false, Rewrite::kLost,
     "reads `NumModes` modes: blank ones for those missing, none of those "
     "beyond"},
    {"num-features-mismatch", false, Rewrite::kKept,
     "writes `NumOfFeatures` as read, whatever the features held, unless "
     "combining changes it"},
    {"duplicate-feature-type", false, Rewrite::kLost,
     "keeps the later of two features of one type"},
    {"duplicate-mode", false, Rewrite::kKept,
     "writes every mode it reads, two with one display and mode ID too "
     "(a blank mode `NumModes` adds among them), which `extract` and "
     "`inject` cannot tell apart"},
    {"payload-length", false, Rewrite::kLost,
     "reads 2 × `DataSize` (32 × `NumPackets`) digits: fewer leave bytes as "
     "the colour library made them, more are ignored"},
    {"payload-not-hex", false, Rewrite::kLost,
     "reads every character as a digit: white space, other characters and "
     "a comment, element or CDATA section inside the payload make bytes come "
     "out wrong or cut the payload short"},
    {"payload-case", false, Rewrite::kSettled,
     "reads lower-case digits as the same bytes and writes them in upper "
     "case"},
    {"number-form", false, Rewrite::kLost,
     "reads a number as `atoi` does (`\" 12\"`, `\"12abc\"`, `\"0x1E\"`, "
     "`\"true\"`, beyond 32 bits) and writes a numeric flag as `1` or `0`"},
    {"disable-unparsed", false, Rewrite::kLost,
     "reads a `Disable` that is not true, false or a number as false"},
    {"disable-form", false, Rewrite::kSettled,
     "writes `Disable` as `true` or `false`, whatever form it was read in "
     "(`1`, `0`, `True`)"},
    {"attribute-not-carried", false, Rewrite::kLost,
     "does not read `WhitePoint`, `EValue`, `BValue`, `RValue`, and writes "
     "`IsAppMode` from the output's file type: all `0` in its output; "
     "applies no attribute default of the file's DTD, writing its own value "
     "for an attribute an element lacks"},
    {"identity-missing", false, Rewrite::kSettled,
     "reads a `Mode` without `ModeID` as mode 0, one without `DisplayID` as "
     "the colour library's initial display, one without `Name` as an empty "
     "name, written `Name=\"\"`, a `Feature` without `FeatureType` into "
     "slot 0"},
    {"classification-dropped", false, Rewrite::kLost,
     "leaves a `DynamicRange`, `ColorGamut` or `PictureQuality` it does not "
     "allow out of the output"},
    {"text-cut", false, Rewrite::kLost, "keeps 255 bytes of a longer text"},
    {"text-not-portable", false, Rewrite::kKept,
     "copies a `Name` as it reads it: bytes that are not UTF-8 and control "
     "characters make an output other XML tools refuse, and tabs and line "
     "breaks are read there as spaces; reads an entity the file's DTD "
     "declares as its characters (`&panel;`), written escaped, where other "
     "XML readers read its text"},
    {"xml-refused", false, Rewrite::kLost,
     "reads what other XML tools refuse or read otherwise (a bare `&` or `<`, "
     "an unknown entity, `--` in a comment, bytes that are not UTF-8, control "
     "characters, text, an end tag or a NUL byte outside the root, an XML "
     "declaration out of place or naming an encoding other than UTF-8 over "
     "bytes beyond ASCII) and writes markup escaped, under a declaration of "
     "its own"},
    {"default-mode-mismatch", false, Rewrite::kLost,
     "writes as `DefaultMode` the last mode flagged `IsDefaultMode`, or "
     "keeps `DefaultMode` when none is"},
    {"luts-ignored", false, Rewrite::kLost,
     "ignores a LUT section whose `NumLuts` is not 1 to 999"},
    {"luts-extra", false, Rewrite::kLost,
     "stops reading LUTs at the first one beyond `NumLuts`"},
    {"lut-not-carried", false, Rewrite::kLost,
     "writes only a PCC LUT at position 0: not a `Lut` of another or no "
     "`Type`, nor a PCC LUT without `NumPackets`, with too many packets or "
     "at another position"},
    {"unknown-name", false, Rewrite::kLost,
     "ignores an element, attribute or text it does not know, as if it were "
     "missing (a misspelt `Featuretype` leaves type 0), reads a root of any "
     "name and no second root, and leaves the root's attributes (a namespace "
     "among them) out of its output"},
    {"section-ignored", false, Rewrite::kLost,
     "reads only the first `Disp_Modes` and the first `Luts`"},
};

const size_t kNumCodes = sizeof(kCodes) / sizeof(kCodes[0]);

const char *RewriteName(Rewrite rewrite) {
  // In the order of the enum.
  static const char *const kNames[] = {"lost", "settled", "kept", "refused"};
  return kNames[static_cast<int>(rewrite)];
}

const Code *FindCode(const char *name) {
  for (size_t i = 0; i < kNumCodes; ++i) {
    if (strcmp(kCodes[i].name, name) == 0) return &kCodes[i];
  }
  return nullptr;
}

}  // namespace inspect
