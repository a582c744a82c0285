// Small QA and factory files whose combined output is known to the byte.
#ifndef TESTS_RUN_FIXTURES_H_
#define TESTS_RUN_FIXTURES_H_

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/test_util.h"

namespace rimbolt_test {

// The command that runs the built program |binary|: the binary, behind the
// emulator that runs programs of the build's target where that is another
// machine.
std::vector<std::string> EmulatedCommand(const std::string &binary);
// EmulatedCommand of the built rimbolt.
std::vector<std::string> BinaryCommand();

// Mode 7 combines with the second factory mode only; mode 8 with none. The
// third factory mode would give mode 7 a feature 5 if it were offered.
constexpr char kQaFile[] = R"(<?xml version="1.0"?>
<Calib_Data>
  <Disp_Modes NumModes="2" DefaultMode="7">
    <Mode ModeID="7" DisplayID="0" IsDefaultMode="1" Name="qa&amp;one" NumOfFeatures="1" DynamicRange="sdr" ColorGamut="srgb" PictureQuality="vivid" RenderIntent="2" WhitePoint="6500"><Feature FeatureType="2" Disable="1" DataSize="3">00ab10</Feature></Mode>
    <Mode ModeID="8" DisplayID="1" Name="qa_two" NumOfFeatures="0" DynamicRange="HDR" ColorGamut="native"/>
  </Disp_Modes>
  <Luts NumLuts="1"><Lut Type="0" NumPackets="2">000102030405060708090a0b0c0d0e0f101112131415161718191A1B1C1D1E1F</Lut></Luts>
</Calib_Data>
)";

constexpr char kFactoryFile[] = R"(<?xml version="1.0"?>
<Calib_Data>
  <Disp_Modes NumModes="3" DefaultMode="0">
    <Mode ModeID="20" DisplayID="1" Name="f_other" ColorGamut="srgb" DynamicRange="sdr"><Feature FeatureType="0" DataSize="1">11</Feature></Mode>
    <Mode ModeID="21" DisplayID="0" Name="f_match" ColorGamut="srgb" DynamicRange="sdr"><Feature FeatureType="0" DataSize="2">FFEE</Feature><Feature FeatureType="2" DataSize="1">77</Feature></Mode>
    <Mode ModeID="22" DisplayID="0" Name="f_late" ColorGamut="srgb" DynamicRange="sdr"><Feature FeatureType="5" DataSize="1">55</Feature></Mode>
  </Disp_Modes>
</Calib_Data>
)";

constexpr char kCombineLines[] =
    "Failed to combine mode: [qa&one] with [f_other]\n"
    "Successful to combine mode: [qa&one] with [f_match]\n"
    "Failed to combine mode: [qa_two] with [f_other]\n"
    "Failed to combine mode: [qa_two] with [f_match]\n"
    "Failed to combine mode: [qa_two] with [f_late]\n";

constexpr char kCombinedFile[] = R"(<?xml version="1.0" ?>
<!-- Copyright (C) 2026 The Rimbolt Project. All rights reserved.
 Display calibration data: edit with care, payloads are hexadecimal. -->
<Calib_Data>
    <Disp_Modes NumModes="2" DefaultMode="7">
        <Mode ModeID="7" DisplayID="0" IsDefaultMode="1" IsAppMode="0" Name="qa&amp;one" NumOfFeatures="2" WhitePoint="0" EValue="0" BValue="0" RValue="0" DynamicRange="sdr" ColorGamut="srgb" PictureQuality="vivid" RenderIntent="2" IsMerge="1">
            <Feature FeatureType="0" Disable="false" DataSize="2">FFEE</Feature>
            <Feature FeatureType="2" Disable="true" DataSize="3">00AB10</Feature>
        </Mode>
        <Mode ModeID="8" DisplayID="1" IsDefaultMode="0" IsAppMode="0" Name="qa_two" NumOfFeatures="0" WhitePoint="0" EValue="0" BValue="0" RValue="0" ColorGamut="native" RenderIntent="0" IsMerge="0"/>
    </Disp_Modes>
    <Luts NumLuts="1">
        <Lut Type="0" NumPackets="2">000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F</Lut>
    </Luts>
</Calib_Data>
)";

struct RunResult {
  int status;
  std::string out;                  // standard output
  std::vector<std::string> log;     // log lines without their source lines
  std::vector<std::string> logged;  // log lines as logged, source lines too
};

// The whole run in process, with |args| after the program name and the
// output written to |output|.
RunResult RunInProcess(std::vector<std::string> args,
                       const std::string &output);

// A private folder with a QA file, a factory file and an output path, all
// to be filled by the test.
class RunFilesTest : public testing::Test {
 protected:
  RunFilesTest()
      : qa_(dir_.File("qa.xml")),
        factory_(dir_.File("factory.xml")),
        output_(dir_.File("combined.xml")) {}

  RunResult Run(const std::vector<std::string> &args,
                const std::string &output) {
    return RunInProcess(args, output);
  }
  RunResult Run() { return RunInProcess({qa_, factory_}, output_); }

  TempDir dir_;
  const std::string qa_;
  const std::string factory_;
  const std::string output_;
};

// Whether |file| passes the calibration file schema; the reasons go to the
// test's failure messages.
testing::AssertionResult MatchesSchema(const std::string &file,
                                       const std::string &scratch_dir);

}  // namespace rimbolt_test

#endif  // TESTS_RUN_FIXTURES_H_
