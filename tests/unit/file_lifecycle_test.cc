#include <filesystem>
#include <regex>
#include <tuple>

#include "tests/unit/unit_util.h"

namespace rimbolt_test {
namespace {

using tavo::XmlDatabaseTest;

const std::string kNoFile =
    Error("SaveAndCloseFile", "No file is currently loaded.");
const std::string kCreating =
    Info("EditFile", "File doesn't exist. Creating new.");

std::string OneMode(int id) {
  return "<Disp_Modes NumModes=\"1\"><Mode ModeID=\"" + std::to_string(id) +
         "\"/></Disp_Modes>";
}

class FileLifecycleTest : public DbTest {
 protected:
  XmlDatabaseTest *Make(const std::string &path) {
    db_ = std::make_unique<XmlDatabaseTest>(tavo::kFileTypeQa, path.c_str());
    return db_.get();
  }
  int FirstModeId() {
    std::unique_ptr<tavo::DispModes> modes(db_->ReadModes());
    return modes != nullptr ? modes->modes[0].mode_id : -100;
  }
};

TEST_F(FileLifecycleTest, LoadFileKeepsItsDocumentAndEditFileReloads) {
  Open(OneMode(1), false);
  WriteFile(path_, "<Other>" + OneMode(2) + "</Other>");
  EXPECT_EQ(LogOf([&] { EXPECT_EQ(db_->LoadFile(), 0); }), Lines());
  EXPECT_EQ(FirstModeId(), 1);
  // The first element is the root, whatever its name.
  ASSERT_EQ(db_->EditFile(), 0);
  EXPECT_EQ(FirstModeId(), 2);
  ASSERT_EQ(Make(path_)->LoadFile(), 0);
  EXPECT_EQ(FirstModeId(), 2);
}

TEST_F(FileLifecycleTest, EditFileCreatesTheSkeleton) {
  // Declaration, a two-line comment and the empty root.
  const std::regex skeleton(
      "<\\?xml version=\"1\\.0\" \\?>\n<!--[^\n]*\n[^\n]*-->\n<Calib_Data/>\n");
  // A missing file is made at once; a file that does not parse keeps its
  // bytes until the save, which writes what a missing one gets.
  std::string saved[2];
  const char *contents[] = {"", "<Calib_Data><Disp_Modes>"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    if (*contents[i]) WriteFile(path_, contents[i]);
    XmlDatabaseTest *db = Make(path_);
    EXPECT_EQ(LogOf([&] { EXPECT_EQ(db->EditFile(), 0); }),
              Lines({kCreating,
                     Info("EditFile",
                          "File loaded for editing successfully: " + path_)}));
    EXPECT_EQ(Compact(Root()), "<Calib_Data/>");
    if (*contents[i]) {
      EXPECT_EQ(ReadFile(path_), contents[i]);
    } else {
      EXPECT_TRUE(std::regex_match(ReadFile(path_), skeleton))
          << ReadFile(path_);
    }
    ASSERT_EQ(db->SaveAndCloseFile(), 0);
    saved[i] = ReadFile(path_);
  }
  EXPECT_TRUE(std::regex_match(saved[0], skeleton)) << saved[0];
  EXPECT_EQ(saved[1], saved[0]);
  const std::string nowhere = dir_.File("missing/calib.xml");
  XmlDatabaseTest *db = Make(nowhere);
  EXPECT_EQ(
      LogOf([&] {
        EXPECT_EQ(db->EditFile(), -22);
        EXPECT_EQ(db->SaveAndCloseFile(), -22);
      }),
      Lines({kCreating, Error("EditFile", "Failed to save file: " + nowhere),
             kNoFile}));
  EXPECT_FALSE(FileExists(nowhere));
}

TEST_F(FileLifecycleTest, SavesOnlyWhenAskedAndOnlyOnce) {
  Open(OneMode(3), true);
  Root()->DeleteChildren();
  ASSERT_EQ(db_->EditFile(), 0);  // drops the edit above
  db_->CloseFile();               // keeps the document open
  EXPECT_EQ(LogOf([&] {
              EXPECT_EQ(db_->SaveAndCloseFile(), 0);
              EXPECT_EQ(db_->SaveAndCloseFile(), -22);
            }),
            Lines({Info("SaveAndCloseFile",
                        "File saved and closed successfully: " + path_),
                   kNoFile}));
  const std::string saved = ReadFile(path_);
  EXPECT_NE(saved.find("<Mode ModeID=\"3\"/>"), std::string::npos);
  ASSERT_EQ(db_->EditFile(), 0);
  Root()->DeleteChildren();
  db_.reset();  // destruction saves nothing
  EXPECT_EQ(ReadFile(path_), saved);
  // A folder in the file's place cannot be written, even by root.
  Open(OneMode(1), true);
  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);
  EXPECT_EQ(LogOf([&] {
              EXPECT_EQ(db_->SaveAndCloseFile(), -22);
              EXPECT_EQ(db_->SaveAndCloseFile(), -22);
            }),
            Lines({Error("SaveAndCloseFile", "Failed to save file: " + path_),
                   kNoFile}));
}

TEST_F(FileLifecycleTest, LongPathIsRefusedNotCut) {
  std::string path = dir_.path() + "/";
  path += std::string(255 - path.size(), 'p');
  const std::string content = "<Calib_Data>" + OneMode(4) + "</Calib_Data>";
  WriteFile(path, content);
  // Cut at 255 characters, this path would name the valid file above.
  XmlDatabaseTest *db = Make(path + "/more");
  const std::string why =
      ": its path is longer than the 255 characters the tool keeps.";
  EXPECT_EQ(
      LogOf([&] {
        EXPECT_EQ(db->LoadFile(), -22);
        EXPECT_EQ(db->EditFile(), -22);
        EXPECT_EQ(db->SaveAndCloseFile(), -22);
      }),
      Lines({Error("LoadFile", "Couldn't load file (" + path + "...)" + why),
             Error("EditFile", "Failed to load file: " + path + "..." + why),
             kNoFile}));
  EXPECT_EQ(ReadFile(path), content);
}

TEST_F(FileLifecycleTest, ClosedObjectRefusesEveryOperation) {
  auto modes = MakeModes(0);
  tavo::DispMode mode = {};
  std::unique_ptr<tavo::DispLuts> luts(tavo::DispLuts::Init());
  // No file; a file without any element; a document saved and closed, whose
  // stale root shows as 1.
  const std::tuple<const char *, std::string, int> cases[] = {
      {"", Error("LoadFile", "Couldn't load file (" + path_ + ")."), 0},
      {"<?xml version=\"1.0\" ?>\n<!-- x -->\n",
       Error("LoadFile",
             "Could not open the root node in display "
             "calibration file: \"Calib_Data\""),
       0},
      {"<Calib_Data/>",
       Info("SaveAndCloseFile", "File saved and closed successfully: " + path_),
       1}};
  for (const auto &[content, cause, root_node] : cases) {
    if (*content) WriteFile(path_, content);
    XmlDatabaseTest *db = Make(path_);
    Lines lines = LogOf([&] {
      EXPECT_EQ(db->LoadFile(), root_node == 1 ? 0 : -22);
      if (root_node == 1) {
        EXPECT_EQ(db->SaveAndCloseFile(), 0);
      }
      EXPECT_EQ(db->AddModes(modes.get()), -22);
      EXPECT_EQ(db->AddMode(&mode), -22);
      EXPECT_EQ(db->ReadModes(), nullptr);
      EXPECT_EQ(db->GetLuts(), nullptr);
      EXPECT_EQ(db->AddLuts(luts.get()), -22);
      EXPECT_EQ(db->SaveAndCloseFile(), -22);
    });
    const std::string text =
        "No file is currently loaded: root_node:" + std::to_string(root_node);
    EXPECT_EQ(Lines(lines.end() - 7, lines.end()),
              Lines({cause, Error("AddModes", text), Error("AddMode", text),
                     Error("ReadModes", text), Error("GetLuts", text),
                     Error("AddLuts", text), kNoFile}));
    if (root_node == 0) {
      EXPECT_EQ(ReadFile(path_), content);  // loading writes nothing
    }
  }
}

}  // namespace
}  // namespace rimbolt_test
