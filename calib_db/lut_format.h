// Names of the LUT section, shared by its writer and its reader.
#ifndef CALIB_DB_LUT_FORMAT_H_
#define CALIB_DB_LUT_FORMAT_H_

#include <stdint.h>

namespace tavo {
namespace lut_format {

constexpr char kLuts[] = "Luts";
constexpr char kNumLuts[] = "NumLuts";
constexpr char kLut[] = "Lut";
constexpr char kType[] = "Type";
constexpr char kNumPackets[] = "NumPackets";

constexpr int kPccType = 0;
constexpr uint32_t kMaxNumLuts = 999;

}  // namespace lut_format
}  // namespace tavo

#endif  // CALIB_DB_LUT_FORMAT_H_
