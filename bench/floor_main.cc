// The least any run must do with tinyxml2: parse both input files and save
// the QA document again; where the output exists already (a repeat run),
// also parse it, as any run that edits it must. The whole run is measured
// against this.
#include <stdio.h>

#include <tinyxml2.h>

int main(int argc, char **argv) {
  if (argc != 4 && argc != 5) {
    fprintf(stderr, "usage: %s QA_FILE FACTORY_FILE OUTPUT_FILE [EXISTING]\n",
            argv[0]);
    return 2;
  }
  tinyxml2::XMLDocument qa(true, tinyxml2::PRESERVE_WHITESPACE);
  tinyxml2::XMLDocument factory(true, tinyxml2::PRESERVE_WHITESPACE);
  if (qa.LoadFile(argv[1]) != tinyxml2::XML_SUCCESS ||
      factory.LoadFile(argv[2]) != tinyxml2::XML_SUCCESS) {
    return 1;
  }
  if (argc == 5) {
    tinyxml2::XMLDocument existing(true, tinyxml2::PRESERVE_WHITESPACE);
    if (existing.LoadFile(argv[4]) != tinyxml2::XML_SUCCESS) return 1;
  }
  return qa.SaveFile(argv[3], false) == tinyxml2::XML_SUCCESS ? 0 : 1;
}
