// Small hand-edited QA files, each with what check finds in it and what
// the tool's output of it then holds.
#ifndef TESTS_INSPECT_HAND_EDITED_H_
#define TESTS_INSPECT_HAND_EDITED_H_

#include <string>
#include <vector>

namespace rimbolt_test {

struct HandEdited {
  const char *name;
  std::string file;
  // Every finding, "line:code", in order.
  std::vector<std::string> found;
  // Texts the output holds, and texts it does not.
  std::vector<std::string> has;
  std::vector<std::string> lacks = {};
  // What xmllint makes of the output's first Mode's Name: null when it
  // only has to accept the output, kRefused when it refuses it.
  const char *lint_name = nullptr;
  // A text of the first finding's message.
  const char *message = "";
};

constexpr char kRefused[] = "(refused)";

constexpr char kSection[] = R"(NumModes="1" DefaultMode="3")";
constexpr char kMode[] =
    R"(ModeID="3" DisplayID="0" IsDefaultMode="1" Name="m" NumOfFeatures="1")";
constexpr char kFeature[] =
    R"(<Feature FeatureType="1" Disable="false" DataSize="2">ABCD</Feature>)";
constexpr char kPcc[] =
    R"(<Lut Type="0" NumPackets="1">000102030405060708090A0B0C0D0E0F</Lut>)";

inline std::string Luts(const std::string &count, const std::string &luts) {
  return "<Luts NumLuts=\"" + count + "\">\n" + luts + "\n</Luts>\n";
}

// Root on line 1, "Disp_Modes" on 2, "Mode" on 3, features from 4; with
// one feature line, "Luts" is on 7 and its LUTs from 8.
inline std::string Doc(const std::string &section, const std::string &mode,
                       const std::string &features,
                       const std::string &luts = Luts("1", kPcc)) {
  return "<Calib_Data>\n<Disp_Modes " + section + ">\n<Mode " + mode + ">\n" +
         features + "\n</Mode>\n</Disp_Modes>\n" + luts + "</Calib_Data>\n";
}

inline std::string Feature(const std::string &attributes,
                           const std::string &text) {
  return "<Feature " + attributes + ">" + text + "</Feature>";
}

inline std::vector<HandEdited> HandEditedFiles() {
  const std::string f1 = R"(FeatureType="1" Disable="false" DataSize="2")";
  const std::string m = std::string(kMode) + " ";
  // A mode to give a Name of its own.
  const std::string named =
      R"(ModeID="3" DisplayID="0" IsDefaultMode="1" NumOfFeatures="1" Name=)";
  std::string root = Doc(kSection, kMode, kFeature);
  root.replace(1, 10, "Calib");
  root.replace(root.rfind("Calib_Data"), 10, "Calib");
  std::string root_attributes = Doc(kSection, kMode, kFeature);
  root_attributes.insert(11, R"( xmlns="urn:x" Version="2")");
  // A lone carriage return, a CR LF and line feeds end lines 1, 2 and 3.
  std::string line_ends =
      Doc(kSection, named + R"("a&b" RenderIntent="0x1E")", Feature(f1, "ABC"));
  line_ends[line_ends.find('\n')] = '\r';
  line_ends.insert(line_ends.find('\n'), "\r");
  const std::string declared = R"(<?xml version="1.0" encoding=)";
  return {
      {"clean",
       Doc(kSection, kMode, kFeature),
       {},
       {"DefaultMode=\"3\"", std::string(kFeature), std::string(kPcc)}},
      {"num_modes",
       Doc(R"(NumModes="2" DefaultMode="3")", kMode, kFeature),
       {"2:num-modes-mismatch"},
       {"NumModes=\"2\"", "<Mode ModeID=\"0\""}},
      {"num_modes_over_limit",
       Doc(R"(NumModes="2000" DefaultMode="3")", kMode, kFeature),
       {"2:unreadable"},
       {},
       {},
       nullptr,
       "NumModes asks for 2000)"},
      {"num_features",
       Doc(kSection,
           R"(ModeID="3" DisplayID="0" IsDefaultMode="1" Name="m" NumOfFeatures="2")",
           kFeature),
       {"3:num-features-mismatch"},
       {"NumOfFeatures=\"2\""}},
      {"duplicate_type",
       Doc(kSection, kMode, std::string(kFeature) + "\n" + Feature(f1, "1234")),
       {"5:duplicate-feature-type"},
       {">1234<"},
       {"ABCD"}},
      // The replaced feature's case is never written: only the duplicate
      // is found.
      // The replaced feature's lower-case, short payload is never written.
      {"duplicate_type_case",
       Doc(kSection, kMode, Feature(f1, "abc") + "\n" + Feature(f1, "1234")),
       {"5:duplicate-feature-type"},
       {">1234<"},
       {"ABCD"}},
      {"duplicate_mode",
       Doc(R"(NumModes="2" DefaultMode="3")", kMode,
           std::string(kFeature) + "\n</Mode>\n<Mode " +
               R"(ModeID="3" DisplayID="0" Name="n" NumOfFeatures="1">)" +
               "\n" + Feature(f1, "1234")),
       {"6:duplicate-mode"},
       {"Name=\"m\"", "Name=\"n\""},
       {},
       nullptr,
       "Mode 3 of display 0 again (first on line 3): the tool writes both, "
       "and extract and inject cannot tell them apart"},
      {"payload_short",
       Doc(kSection, kMode, Feature(f1, "ABC")),
       {"4:payload-length"},
       {">ABC0<"}},
      {"payload_long",
       Doc(kSection, kMode, Feature(f1, "ABCDEF")),
       {"4:payload-length"},
       {">ABCD<"}},
      {"payload_pretty",
       Doc(kSection, kMode, Feature(f1, "\n    ABCD\n")),
       {"4:payload-not-hex"},
       {">A000<"},
       {},
       nullptr,
       "2 of its 2 bytes come out wrong"},
      {"payload_comment",
       Doc(kSection, kMode, Feature(f1, "AB<!-- x -->CD")),
       {"4:payload-length"},
       {">AB00<"},
       {},
       nullptr,
       "a comment on line 4"},
      // A zero-width space: one character of 3 bytes, which shift every
      // digit after it.
      {"payload_wide_character",
       Doc(kSection, kMode, kFeature,
           Luts("1",
                "<Lut Type=\"0\" NumPackets=\"1\">0001020304\xE2\x80\x8B"
                "05060708090A0B0C0D0E0F</Lut>")),
       {"8:payload-not-hex"},
       {">0001020304B9405060708090A0B0C0D0<"},
       {},
       nullptr,
       "payload character 10 is U+200B (3 bytes): read as digits, 11 of its "
       "16 bytes come out wrong, from offset 5"},
      {"payload_cdata",
       Doc(kSection, kMode, Feature(f1, "AB<![CDATA[CD]]>")),
       {"4:payload-length"},
       {">AB00<"},
       {},
       nullptr,
       "a CDATA section on line 4 ends the text the reader takes: other XML "
       "readers read its digits as part of the payload, the tool reads none"},
      // Markup after a complete payload: other readers read on past it.
      {"payload_cdata_after",
       Doc(kSection, kMode, Feature(f1, "ABCD<![CDATA[EF]]>")),
       {"4:payload-length"},
       {">ABCD<"},
       {"EF"},
       nullptr,
       "payload has 4 digits, then a CDATA section on line 4: other XML "
       "readers read 6 digits where DataSize 2 needs 4; the tool reads the 4 "
       "before it and ignores the rest"},
      {"lut_comment_after",
       Doc(kSection, kMode, kFeature,
           Luts("1",
                "<Lut Type=\"0\" NumPackets=\"1\">"
                "000102030405060708090A0B0C0D0E0F<!-- c -->\n10</Lut>")),
       {"8:payload-length"},
       {"0C0D0E0F<"},
       {"10<"},
       nullptr,
       "then a comment on line 8: other XML readers read 34 digits where"},
      {"payload_case",
       Doc(kSection, kMode, Feature(f1, "abcd")),
       {"4:payload-case"},
       {">ABCD<"}},
      {"data_size_0",
       Doc(kSection, kMode,
           Feature(R"(FeatureType="1" Disable="false" DataSize="0")", "AB")),
       {"4:payload-length"},
       {"DataSize=\"0\"/>"}},
      {"no_data_size",
       Doc(kSection, kMode,
           Feature(R"(FeatureType="1" Disable="false")", "AB")),
       {"4:payload-length"},
       {"DataSize=\"0\"/>"},
       {},
       nullptr,
       "no DataSize"},
      {"number",
       Doc(kSection, m + R"(RenderIntent="0x1E")", kFeature),
       {"3:number-form"},
       {"RenderIntent=\"0\""}},
      {"flag",
       Doc(kSection, m + R"(IsMerge="2")", kFeature),
       {"3:number-form"},
       {"IsMerge=\"1\""}},
      {"disable_unparsed",
       Doc(kSection, kMode,
           Feature(R"(FeatureType="1" Disable="yes" DataSize="2")", "ABCD")),
       {"4:disable-unparsed"},
       {"Disable=\"false\""}},
      {"disable_form",
       Doc(kSection, kMode,
           Feature(R"(FeatureType="1" Disable="1" DataSize="2")", "ABCD")),
       {"4:disable-form"},
       {"Disable=\"true\""}},
      {"not_carried",
       Doc(kSection, m + R"(WhitePoint="6500" IsAppMode="1")", kFeature),
       {"3:attribute-not-carried", "3:attribute-not-carried"},
       {"WhitePoint=\"0\"", "IsAppMode=\"0\""}},
      // Defaults the internal DTD declares, which other readers fill in:
      // the first declaration binds, one in a comment is none.
      {"dtd_default",
       "<!DOCTYPE Calib_Data [\n"
       "<!-- <!ATTLIST Mode RenderIntent CDATA \"7\"> -->\n"
       "<!ATTLIST Mode Name CDATA #IMPLIED RenderIntent CDATA \"2\">\n"
       "<!ATTLIST Mode RenderIntent CDATA \"5\">\n"
       "<!ATTLIST Feature DataSize CDATA #REQUIRED Disable CDATA 'true'>\n"
       "]>\n" +
           Doc(kSection, kMode,
               Feature(R"(FeatureType="1" DataSize="2")", "ABCD")),
       {"9:attribute-not-carried", "10:attribute-not-carried"},
       {"RenderIntent=\"0\"", "Disable=\"false\""},
       {},
       nullptr,
       "Mode has no RenderIntent, which the file's DTD defaults to \"2\": "
       "other XML readers read RenderIntent=\"2\"; the tool reads none and "
       "writes RenderIntent=\"0\""},
      // No mismatch to say it: the tool writes the flagged mode's 0.
      {"dtd_default_mode",
       "<!DOCTYPE Calib_Data [<!ATTLIST Disp_Modes DefaultMode CDATA "
       "\"3\">]>\n" +
           Doc(R"(NumModes="1")",
               R"(ModeID="0" DisplayID="0" IsDefaultMode="1" Name="m" )"
               R"(NumOfFeatures="1")",
               kFeature),
       {"3:attribute-not-carried"},
       {"DefaultMode=\"0\""},
       {},
       nullptr,
       "other XML readers read DefaultMode=\"3\"; the tool reads none and "
       "writes DefaultMode=\"0\""},
      // The Mode beyond NumModes is not read: its default changes nothing.
      {"dtd_default_beyond",
       "<!DOCTYPE Calib_Data [<!ATTLIST Mode Tag CDATA #FIXED \"x\">]>\n" +
           Doc(kSection, kMode + std::string(" Tag=\"x\""),
               std::string(kFeature) + "\n</Mode>\n<Mode ModeID=\"4\">"),
       {"3:num-modes-mismatch", "4:unknown-name"},
       {},
       {"Tag", "ModeID=\"4\""},
       nullptr,
       "only the first 1 is read"},
      {"dtd_default_unknown",
       "<!DOCTYPE Calib_Data [<!ATTLIST Mode Tag CDATA #FIXED \"x\">]>\n" +
           Doc(kSection, kMode, kFeature),
       {"4:attribute-not-carried"},
       {},
       {"Tag"},
       nullptr,
       "fixes at \"x\": other XML readers read Tag=\"x\"; the tool does not "
       "know Tag, and its output has none"},
      {"no_identity",
       Doc(R"(NumModes="1" DefaultMode="0")",
           R"(IsDefaultMode="1" Name="m" NumOfFeatures="1")",
           Feature(R"(Disable="false" DataSize="2")", "ABCD")),
       {"3:identity-missing", "3:identity-missing", "4:identity-missing"},
       {"<Mode ModeID=\"0\" DisplayID=\"0\"", "<Feature FeatureType=\"0\""}},
      {"no_name",
       Doc(kSection,
           R"(ModeID="3" DisplayID="0" IsDefaultMode="1" NumOfFeatures="1")",
           kFeature),
       {"3:identity-missing"},
       {"Name=\"\""},
       {},
       nullptr,
       "Mode has no Name: it is read as an empty name, and the tool writes "
       "Name=\"\""},
      {"misspelt_type",
       Doc(kSection, kMode,
           Feature(R"(Featuretype="1" Disable="false" DataSize="2")", "ABCD")),
       {"4:unknown-name"},
       {"<Feature FeatureType=\"0\""}},
      {"name_twice_in_case",
       Doc(kSection, kMode, Feature(f1 + R"( datasize="4")", "ABCD")),
       {"4:unknown-name"},
       {">ABCD<"},
       {"datasize"},
       nullptr,
       "\"datasize\" that the tool does not know: it is ignored, and the "
       "tool reads DataSize as written"},
      {"classification",
       Doc(kSection, m + R"(ColorGamut="sRGB")", kFeature),
       {"3:classification-dropped"},
       {},
       {"ColorGamut"}},
      {"long_name",
       Doc(kSection, named + "\"" + std::string(300, 'n') + "\"", kFeature),
       {"3:text-cut"},
       {"Name=\"" + std::string(255, 'n') + "\""}},
      {"default_mode",
       Doc(R"(NumModes="1" DefaultMode="4")", kMode, kFeature),
       {"2:default-mode-mismatch"},
       {"DefaultMode=\"3\""}},
      // The flag is read as false, so the output still points DefaultMode
      // at a mode it does not flag: normalize keeps the mismatch.
      {"default_flag_word",
       Doc(kSection,
           R"(ModeID="3" DisplayID="0" IsDefaultMode="true" Name="m" )"
           R"(NumOfFeatures="1")",
           kFeature),
       {"2:default-mode-mismatch", "3:number-form"},
       {"DefaultMode=\"3\"", "IsDefaultMode=\"0\""}},
      {"root_name", root, {"1:unknown-name"}, {"<Calib_Data>"}},
      {"root_attributes",
       root_attributes,
       {"1:unknown-name", "1:unknown-name"},
       {"<Calib_Data>"},
       {"urn:x", "Version"},
       nullptr,
       "every element of the output leaves that namespace"},
      {"root_attribute_unseen_space",
       std::string(root_attributes).replace(11, 26, " \xC2\xA0Panel=\"A\""),
       {"1:unknown-name"},
       {"<Calib_Data>"},
       {"Panel"},
       nullptr,
       "an attribute \"Panel\" with a no-break space (U+00A0) in its name: "
       "other XML tools refuse the file"},
      {"second_root",
       Doc(kSection, kMode, kFeature) +
           "<Calib_Data><Disp_Modes NumModes=\"1\"><Mode "
           "ModeID=\"9\"/></Disp_Modes></Calib_Data>\n",
       {"11:unknown-name"},
       {},
       {"ModeID=\"9\""},
       nullptr,
       "another root element \"Calib_Data\" after the first: other XML "
       "tools refuse the file"},
      {"text_outside_root",
       "x\n" + Doc(kSection, kMode, kFeature),
       {"1:xml-refused"},
       {},
       {},
       nullptr,
       "text before the root element"},
      {"end_tag_outside_root",
       Doc(kSection, kMode, kFeature) + "</x>\n<Calib_Data/>\n",
       {"11:xml-refused"},
       {},
       {},
       nullptr,
       "the tool reads nothing after it"},
      {"nul_outside_root",
       Doc(kSection, kMode, kFeature) + std::string(1, '\0') + "<x/>\n",
       {"11:xml-refused"},
       {},
       {},
       nullptr,
       "a NUL byte (0x00), a character XML does not allow: strict XML tools "
       "refuse the file, others stop reading there; tinyxml2 reads the file "
       "only up to it, so that the tool reads none of the 5 bytes"},
      {"nul_inside_root",
       std::string("<Calib_Data>\n<Disp_Modes>") + '\0' +
           "</Disp_Modes>\n</Calib_Data>\n",
       {"2:unreadable"},
       {},
       {},
       nullptr,
       "a NUL byte on line 2 ends what tinyxml2 reads"},
      {"line_ends",
       line_ends,
       {"3:xml-refused", "3:number-form", "4:payload-length"},
       {">ABC0<"},
       {},
       "a&b"},
      {"declaration_place",
       "\n<?xml version=\"1.0\"?>\n<?xml version=\"1.0\"?>\n" +
           Doc(kSection, kMode, kFeature),
       {"2:xml-refused", "3:xml-refused"},
       {},
       {},
       nullptr,
       "the XML declaration is not at the start of the file"},
      {"declared_encoding",
       declared + "\"ISO-8859-1\"?>\n" +
           Doc(kSection, named + "\"caf\xC3\xA9\"", kFeature),
       {"1:xml-refused"},
       {"Name=\"caf\xC3\xA9\""},
       {},
       "caf\xC3\xA9",
       "other XML readers read the bytes beyond ASCII (the first on line 4) "
       "as ISO-8859-1 characters, the tool reads them as UTF-8"},
      {"declared_ascii",
       declared + "\"US-ASCII\"?>\n" + Doc(kSection, kMode, kFeature),
       {},
       {}},
      // An encoding no reader knows is refused whatever the bytes.
      {"declared_unknown",
       declared + "\"foo\"?>\n" + Doc(kSection, kMode, kFeature),
       {"1:xml-refused"},
       {},
       {},
       nullptr,
       "the XML declaration names the encoding \"foo\", which other XML "
       "tools do not know: they refuse the file; the tool reads it as UTF-8"},
      {"unseen_space",
       Doc(kSection,
           "ModeID=\"3\" \xC2\xA0"
           "DisplayID=\"0\" IsDefaultMode=\"1\" "
           "Name=\"m\" NumOfFeatures=\"1\"",
           kFeature),
       {"3:unknown-name"},
       {},
       {"\xC2\xA0"},
       nullptr,
       "Mode has an attribute \"DisplayID\" with a no-break space (U+00A0) "
       "in its name: other XML tools refuse the file"},
      {"unseen_space_element",
       Doc(kSection, kMode,
           std::string(kFeature) + "\n<Feature\xC2\xA0 " + f1 +
               ">1234</Feature\xC2\xA0>"),
       {"5:unknown-name"},
       {},
       {"1234"},
       nullptr,
       "\"Feature\" in Mode has a no-break space (U+00A0) in its name: other "
       "XML tools refuse the file; the tool reads a name it does not know "
       "and ignores the element"},
      {"stray_text",
       Doc(kSection, kMode, std::string(kFeature) + " 12"),
       {"4:unknown-name"},
       {},
       {"12"}},
      {"second_section",
       Doc(kSection, kMode, kFeature,
           "<Disp_Modes NumModes=\"1\"><Mode ModeID=\"9\"/></Disp_Modes>\n"),
       {"7:section-ignored"},
       {},
       {"ModeID=\"9\""}},
      {"luts_ignored",
       Doc(kSection, kMode, kFeature, Luts("0", kPcc)),
       {"7:luts-ignored"},
       {"<Luts NumLuts=\"0\"/>"}},
      {"luts_extra",
       Doc(kSection, kMode, kFeature,
           Luts("1", std::string(kPcc) + "\n" + kPcc)),
       {"9:luts-extra"},
       {std::string(kPcc) + "\n    </Luts>"}},
      {"lut_other_type",
       Doc(kSection, kMode, kFeature,
           Luts("2", std::string("<Lut Type=\"1\">00</Lut>\n") + kPcc)),
       {"8:lut-not-carried", "9:lut-not-carried"},
       {},
       {"<Lut "}},
      {"lut_no_packets",
       Doc(kSection, kMode, kFeature,
           Luts("1", "<Lut Type=\"0\" NumPackets=\"0\">0001</Lut>")),
       {"8:payload-length"},
       {"<Lut Type=\"0\" NumPackets=\"0\"/>"}},
      {"lut_packets_missing",
       Doc(kSection, kMode, kFeature, Luts("1", "<Lut Type=\"0\">0001</Lut>")),
       {"8:lut-not-carried"},
       {},
       {"<Lut "}},
      {"bare_ampersand",
       Doc(kSection, named + R"("a&b")", kFeature),
       {"3:xml-refused"},
       {"Name=\"a&amp;b\""},
       {},
       "a&b"},
      {"comment_hyphens",
       Doc(kSection, kMode, kFeature) + "<!-- a -- b -->\n",
       {"11:xml-refused"},
       {},
       {"a -- b"}},
      {"not_utf8",
       Doc(kSection, named + "\"a\xE9\"", kFeature),
       {"3:text-not-portable"},
       {"Name=\"a\xE9\""},
       {},
       kRefused},
      {"control",
       Doc(kSection, named + R"("a&#1;")", kFeature),
       {"3:text-not-portable"},
       {"Name=\"a\x01\""},
       {},
       kRefused},
      {"line_feed",
       Doc(kSection, named + R"("a&#10;b")", kFeature),
       {"3:text-not-portable"},
       {"Name=\"a\nb\""},
       {},
       "a b"},
      {"white_space_kinds",
       Doc(kSection, named + R"("a&#9;b&#10;c")", kFeature),
       {"3:text-not-portable"},
       {"Name=\"a\tb\nc\""},
       {},
       "a b c",
       "\"&#9;\", a tab, and \"&#10;\", a line feed, in Name: the tool "
       "writes them unchanged, and other XML readers read them in its output "
       "as spaces"},
      {"declared_entity",
       "<!DOCTYPE Calib_Data [<!ENTITY panel \"&#65;\">]>\n" +
           Doc(kSection, named + R"("&panel;")", kFeature),
       {"4:text-not-portable"},
       {"Name=\"&amp;panel;\""},
       {},
       "&panel;",
       "\"&panel;\" in Name is an entity the file's DTD declares: other XML "
       "readers read \"A\"; the tool reads the characters \"&panel;\" and "
       "writes \"&amp;panel;\""},
      // Where the tool reads a number or digits, a declared entity is named
      // in the one finding that says how it reads it.
      {"declared_entity_read",
       "<!DOCTYPE Calib_Data [<!ENTITY two \"2\"><!ENTITY t \"true\">"
       "<!ENTITY ab \"AB\">]>\n" +
           Doc(kSection, m + R"(RenderIntent="&two;")",
               Feature(R"(FeatureType="1" Disable="&t;" DataSize="2")",
                       "&ab;CD")),
       {"4:number-form", "5:disable-unparsed", "5:payload-not-hex"},
       {"RenderIntent=\"0\"", "Disable=\"false\""},
       {},
       nullptr,
       "\"&two;\" in RenderIntent is an entity the file's DTD declares: "
       "other XML readers read RenderIntent=\"2\"; the tool reads the "
       "characters \"&two;\" as 0 and writes RenderIntent=\"0\""},
      // An absent attribute whose absence is reported: its DTD default is
      // named there.
      {"dtd_default_reported",
       "<!DOCTYPE Calib_Data [<!ATTLIST Mode ModeID CDATA \"5\">]>\n" +
           Doc(R"(NumModes="1" DefaultMode="0")",
               R"(DisplayID="0" IsDefaultMode="1" Name="m" NumOfFeatures="1")",
               kFeature),
       {"4:identity-missing"},
       {"ModeID=\"0\""},
       {},
       nullptr,
       "Mode has no ModeID: it is read as mode 0; the file's DTD defaults it "
       "to \"5\", which other XML readers read"},
      {"refused",
       Doc(kSection, kMode,
           Feature(R"(FeatureType="30" Disable="false" DataSize="2")", "ABCD")),
       {"4:unreadable"},
       {},
       {},
       nullptr,
       "Invalid size or type. size:2, type:30"},
      // The parser's reason, in words, with its line.
      {"xml_mismatched",
       "<Calib_Data>\n<Disp_Modes>\n</Calib_Data>\n",
       {"2:unreadable"},
       {},
       {},
       nullptr,
       "(an element that is not closed, or closed by another name, line 2)"},
      {"xml_text",
       "<Calib_Data/>\n\nx\n",
       {"3:unreadable"},
       {},
       {},
       nullptr,
       "(text where an element was expected, line 3)"},
      {"xml_attribute",
       "<Calib_Data a=\"1\" a=\"2\"/>\n",
       {"1:unreadable"},
       {},
       {},
       nullptr,
       "(an attribute that is not name=\"value\", or is given twice, line 1)"},
  };
}

}  // namespace rimbolt_test

#endif  // TESTS_INSPECT_HAND_EDITED_H_
