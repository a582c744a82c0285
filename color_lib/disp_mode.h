// Mode records and the combine interface of the display colour library
// libtavo-color. The library itself is closed; these are the declarations
// this tool is built against.
#ifndef COLOR_LIB_DISP_MODE_H_
#define COLOR_LIB_DISP_MODE_H_

#include <stdint.h>

namespace tavo {

constexpr int kMaxFeatures = 30;
constexpr int kNameSize = 256;

enum ModeType : int32_t {
  kModeTypeStandard = 1,
  kModeTypeApp = 2,
};

struct DispFeature {
  bool disable;
  uint32_t type;
  uint32_t size;
  uint8_t *payload;

  // A new feature with a payload buffer of |size| bytes, or null.
  static DispFeature *Init(unsigned type, int size, bool disable);
  ~DispFeature();
};

struct DispMode {
  uint32_t num_features;
  int32_t white_point;
  uint32_t e_value;
  uint32_t b_value;
  uint32_t r_value;
  int32_t mode_id;
  char name[kNameSize];
  bool is_default_mode;
  bool is_app_mode;
  int32_t disp_id;
  char dynamic_range[kNameSize];
  char color_gamut[kNameSize];
  char picture_quality[kNameSize];
  int32_t render_intent;
  bool is_merge;
  DispFeature *features[kMaxFeatures];
};

struct DispModes {
  int32_t default_mode;
  uint32_t num_modes;
  DispMode *modes;

  // A new list of |num_modes| modes in their initial state, or null.
  static DispModes *Init(ModeType type, int default_mode, int num_modes);
  // Releases the modes, their features and payloads.
  ~DispModes();
};

class CombineModeInterface {
 public:
  virtual ~CombineModeInterface() {}
  // 0 when the pair was combined into |qa_mode|; anything else otherwise.
  virtual int CombineMode(DispMode *qa_mode, DispMode *factory_mode) = 0;
};

// A new interface for the caller, or null. Sets |*enable| when mode
// combination is supported.
CombineModeInterface *GetCombineModeInterface(bool *enable);

}  // namespace tavo

#endif  // COLOR_LIB_DISP_MODE_H_
