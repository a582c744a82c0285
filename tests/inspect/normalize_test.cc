// normalize on hand-edited files: its output is the tool's own output of
// the file, the tool reads from it what it read from the file, and what
// check still finds in it is what normalize said it kept.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "inspect/base/text.h"
#include "inspect/model/calib_file.h"
#include "inspect/model/findings.h"
#include "inspect/rules/check_file.h"
#include "tests/inspect/hand_edited.h"
#include "tests/run/fixtures.h"
#include "tests/test_util.h"

namespace rimbolt_test {
namespace {

using inspect::Format;

// A factory file that combines with nothing: the tool's output is the QA
// file as it reads and writes it.
constexpr char kNoFactoryModes[] =
    "<Calib_Data><Disp_Modes NumModes=\"0\"/></Calib_Data>\n";

std::string HexOf(const uint8_t *bytes, uint32_t size) {
  if (bytes == nullptr) return "(none)";
  return Hex(std::vector<unsigned char>(bytes, bytes + size));
}

// A record the reader made, as a line; |code| names the finding that says
// the writer does not write it as read ("" for none).
struct Record {
  const char *code;
  std::string line;
};

// What the tool's reader makes of |path|, a line a record.
std::vector<Record> Records(const std::string &path) {
  std::unique_ptr<inspect::CalibFile> file = inspect::ReadCalibFile(path);
  if (file->modes == nullptr) return {{"", "refused: " + file->problem}};
  const tavo::DispModes &modes = *file->modes;
  std::vector<Record> records = {
      {"default-mode-mismatch", Format("default %d", modes.default_mode)},
      {"", Format("%u modes", modes.num_modes)}};
  for (uint32_t i = 0; i < modes.num_modes; ++i) {
    const tavo::DispMode &m = modes.modes[i];
    records.push_back(
        {"",
         Format("mode %d display %d name %s default %d intent %d merge %d "
                "features %u white %d e %u b %u r %u",
                m.mode_id, m.disp_id, inspect::Quote(m.name).c_str(),
                m.is_default_mode, m.render_intent, m.is_merge, m.num_features,
                m.white_point, m.e_value, m.b_value, m.r_value)});
    records.push_back(
        {"attribute-not-carried", Format("  app %d", m.is_app_mode)});
    records.push_back({"classification-dropped",
                       Format("  range %s gamut %s quality %s",
                              inspect::Quote(m.dynamic_range).c_str(),
                              inspect::Quote(m.color_gamut).c_str(),
                              inspect::Quote(m.picture_quality).c_str())});
    for (int slot = 0; slot < tavo::kMaxFeatures; ++slot) {
      const tavo::DispFeature *f = m.features[slot];
      if (f == nullptr) continue;
      records.push_back(
          {"", Format("  feature %d type %u disable %d %s", slot, f->type,
                      f->disable, HexOf(f->payload, f->size).c_str())});
    }
  }
  records.push_back({"", Format("%u luts", file->luts->num_luts)});
  for (int slot = 0; slot < tavo::kMaxLuts; ++slot) {
    const tavo::DispLut<tavo::PccLut> *lut = inspect::LutAt(*file, slot);
    if (lut == nullptr) continue;
    const tavo::PccLut *pcc = lut->lut;
    std::string packets =
        pcc == nullptr
            ? "(none)"
            : HexOf(pcc->packets, pcc->num_packets * tavo::kPccPacketSize);
    // Only the first slot is written.
    records.push_back(
        {slot == 0 ? "" : "lut-not-carried",
         Format("lut %d type %d %s", slot, lut->type, packets.c_str())});
  }
  return records;
}

// The lines of |records| but those that a finding of |codes| says are not
// written as read.
std::vector<std::string> Kept(const std::vector<Record> &records,
                              const std::set<std::string> &codes) {
  std::vector<std::string> lines;
  for (const Record &record : records) {
    if (codes.count(record.code) == 0) lines.push_back(record.line);
  }
  return lines;
}

class NormalizeTest : public RunFilesTest {
 protected:
  // Runs rimbolt-inspect with its temporary files in temp_.
  ProcessResult Inspect(const std::vector<std::string> &args) {
    std::vector<std::string> command = {"/usr/bin/env",
                                        "TMPDIR=" + temp_.path()};
    std::vector<std::string> binary = EmulatedCommand(RIMBOLT_INSPECT_BINARY);
    command.insert(command.end(), binary.begin(), binary.end());
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess(command, scratch_.path());
  }

  // The names in |folder|, sorted.
  static std::vector<std::string> Listing(const TempDir &folder) {
    std::vector<std::string> names;
    DIR *dir = opendir(folder.path().c_str());
    while (struct dirent *entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
  }

  // Where the runs' output is caught, out of the folder they write in.
  TempDir scratch_;
  TempDir temp_;
};

TEST_F(NormalizeTest, WritesWhatTheToolWritesAndSaysWhatItKeeps) {
  WriteFile(factory_, kNoFactoryModes);
  const std::regex line(
      R"(^(.*):(\d+): warning: .* \(normalize: (lost|settled|kept)\) )"
      R"(\[([a-z-]+)\]$)");
  for (const HandEdited &edit : HandEditedFiles()) {
    if (!edit.found.empty() &&
        edit.found[0].find(":unreadable") != std::string::npos) {
      continue;
    }
    SCOPED_TRACE(edit.name);
    const std::string file = dir_.File(std::string(edit.name) + ".xml");
    const std::string out = dir_.File(std::string(edit.name) + ".out.xml");
    WriteFile(file, edit.file);
    ProcessResult result = Inspect({"normalize", file, "-o", out});
    EXPECT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(RunInProcess({file, factory_}, output_).status, 0);
    EXPECT_EQ(ReadFile(out), ReadFile(output_));

    std::vector<std::string> reported;
    std::set<std::string> codes, kept;
    std::istringstream err(result.err);
    std::string text, last;
    while (std::getline(err, text)) {
      std::smatch match;
      if (std::regex_match(text, match, line)) {
        EXPECT_EQ(match[1].str(), file);
        reported.push_back(match[2].str() + ":" + match[4].str());
        codes.insert(match[4].str());
        if (match[3] == "kept") kept.insert(match[4].str());
      }
      last = text;
    }
    EXPECT_EQ(reported, edit.found) << result.err;
    EXPECT_EQ(last.rfind("normalize: wrote " + out + "; ", 0), 0u) << last;

    EXPECT_EQ(Kept(Records(out), codes), Kept(Records(file), codes));
    std::set<std::string> again;
    for (const inspect::Finding &finding : inspect::CheckFile(out)) {
      EXPECT_EQ(kept.count(finding.code), 1u)
          << finding.code << ": " << finding.message;
      again.insert(finding.code);
    }
    for (const std::string &code : kept) EXPECT_EQ(again.count(code), 1u);
  }
}

TEST_F(NormalizeTest, InPlaceKeepsModeAndLinkAndLeavesNothingElse) {
  const std::string real = dir_.File("real.xml");
  const std::string link = dir_.File("link.xml");
  WriteFile(real, "<!-- notes -->\n" +
                      Doc(kSection, kMode,
                          Feature(R"(FeatureType="1" Disable="1" DataSize="2")",
                                  "abcd")));
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.xml", link.c_str()), 0);
  ProcessResult printed = Inspect({"normalize", link, "-o", "-"});
  EXPECT_EQ(printed.status, 0) << printed.err;
  EXPECT_NE(printed.out.find(">ABCD</Feature>"), std::string::npos)
      << printed.out;
  const std::string summary =
      "normalize: wrote standard output; 2 findings in " + link +
      ": 2 settled; 1 comment not carried\n";
  EXPECT_NE(printed.err.find(summary), std::string::npos) << printed.err;

  ProcessResult result = Inspect({"normalize", link, "--in-place"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("normalize: rewrote " + link + " in place; "),
            std::string::npos)
      << result.err;
  struct stat info;
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile(real), printed.out);
  EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"link.xml", "real.xml"}));
  EXPECT_EQ(Listing(temp_), std::vector<std::string>{});
}

TEST_F(NormalizeTest, WritesNothingWhenItCannot) {
  const std::string out = dir_.File("out.xml");
  for (const HandEdited &edit : HandEditedFiles()) {
    if (edit.found.empty() ||
        edit.found[0].find(":unreadable") == std::string::npos) {
      continue;
    }
    SCOPED_TRACE(edit.name);
    WriteFile(qa_, edit.file);
    ProcessResult result = Inspect({"normalize", qa_, "-o", out});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.find(qa_ + ":"), 0u) << result.err;
    EXPECT_NE(result.err.find(": error: the tool fails: "), std::string::npos);
    EXPECT_FALSE(FileExists(out));
  }
  const std::string clean = HandEditedFiles()[0].file;
  WriteFile(qa_, clean);
  const std::string missing = dir_.File("none/out.xml");
  ProcessResult result = Inspect({"normalize", qa_, "-o", missing});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "normalize: " + missing +
                            " not written: No such file or directory\n");
  result = Inspect({"normalize", qa_, "-o", qa_});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("only --in-place writes over"), std::string::npos)
      << result.err;
  EXPECT_EQ(ReadFile(qa_), clean);
  EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"qa.xml"}));
  EXPECT_EQ(Listing(temp_), std::vector<std::string>{});
}

}  // namespace
}  // namespace rimbolt_test
