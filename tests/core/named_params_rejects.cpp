// Compiled by ctest only: with one of the macros defined it must fail to
// compile, naming the check that failed; with none it must compile.
#include "core/params/named_params.h"

using namespace core::params;

#ifdef NOT_A_ROW
inline constexpr ParamName kBad{ModuleId::Mic, 18};  // a mic A band, not a table row
#endif
#ifdef OUT_OF_RANGE
inline constexpr ParamName kBad{ModuleId::Mic, 256 + 14};  // not (1, 14) by truncation
#endif
#ifdef FRAME_NAME_IS_A_ROW
inline constexpr FrameParamName kBad{ModuleId::Mic, 14};
#endif
#ifdef BAND_IS_A_ROW
inline constexpr EqBandsName kBad{ModuleId::Music, 0, 12};  // band 11 would be the EQ bypass
#endif
#ifdef OUTPUT_NOT_A_ROW
constexpr ParamName OutputBad(int c) { return OutputParam(c, OutputParamNumber(30)); }
#endif

int main() { return kMicMasterVolume.Param() == 14 ? 0 : 1; }
