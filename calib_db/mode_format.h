// Names and allowed values of the mode section, shared by its writer and
// its reader.
#ifndef CALIB_DB_MODE_FORMAT_H_
#define CALIB_DB_MODE_FORMAT_H_

namespace tinyxml2 {
class XMLElement;
}  // namespace tinyxml2

namespace tavo {
namespace mode_format {

constexpr char kDispModes[] = "Disp_Modes";
constexpr char kNumModes[] = "NumModes";
constexpr char kDefaultMode[] = "DefaultMode";

constexpr char kMode[] = "Mode";
constexpr char kModeId[] = "ModeID";
constexpr char kDisplayId[] = "DisplayID";
constexpr char kIsDefaultMode[] = "IsDefaultMode";
constexpr char kIsAppMode[] = "IsAppMode";
constexpr char kName[] = "Name";
constexpr char kNumOfFeatures[] = "NumOfFeatures";
constexpr char kWhitePoint[] = "WhitePoint";
constexpr char kEValue[] = "EValue";
constexpr char kBValue[] = "BValue";
constexpr char kRValue[] = "RValue";
constexpr char kDynamicRange[] = "DynamicRange";
constexpr char kColorGamut[] = "ColorGamut";
constexpr char kPictureQuality[] = "PictureQuality";
constexpr char kRenderIntent[] = "RenderIntent";
constexpr char kIsMerge[] = "IsMerge";

constexpr char kFeature[] = "Feature";
constexpr char kFeatureType[] = "FeatureType";
constexpr char kDisable[] = "Disable";
constexpr char kDataSize[] = "DataSize";

// Whether the writer puts out a classification text: the whole text must
// be one of the allowed values, exactly and case-sensitively.
bool IsAllowedDynamicRange(const char *text);
bool IsAllowedColorGamut(const char *text);
bool IsAllowedPictureQuality(const char *text);

// Where to end a text field cut after |length| bytes so that no UTF-8
// character is split: |length|, or less when text[length], which must be
// readable, continues a character begun before it. A split character would
// make the written file malformed XML.
unsigned WholeCharacterLength(const char *text, unsigned length);

// The number the reader takes from |element|'s attribute |name|, as atoi
// reads it; 0 when the attribute is missing.
int AttributeOrZero(const tinyxml2::XMLElement *element, const char *name);

}  // namespace mode_format
}  // namespace tavo

#endif  // CALIB_DB_MODE_FORMAT_H_
