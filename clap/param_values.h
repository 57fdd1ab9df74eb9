// The parameters as CLAP hosts see them, read from the parameter table: the
// continuous ones keep their 0..1 values; the stepped ones (named settings,
// voice and tap counts) count their steps from 0 with integer values.
#pragma once

#include <cstdint>

#include "clap/abi_ext.h"

namespace clap_format {

// Fills a host's description of parameter index; false for unknown indices.
bool describeParameter(int32_t index, clap::ParamInfo& info);

// Steps of a stepped parameter (0: continuous).
int32_t stepCount(int32_t index);

// The instrument's 0..1 value for a host's value, and back. Host values
// outside the range, and non-numbers, fall on its ends as the instrument
// places them.
float instrumentValue(int32_t index, double hostValue);
double hostValue(int32_t index, float instrumentValue);

// The text of a host value; 'polyphony' and 'volume' are the current values
// that the volume and voice texts read when they are not the parameter itself.
// At most 'capacity' bytes with the terminator; false for unknown indices.
bool valueText(int32_t index, double value, float polyphony, float volume, char* text,
               uint32_t capacity);
// The host value whose text is 'text' or, for a number the texts do not show
// exactly, the nearest one; false when the text names no value.
bool textValue(int32_t index, const char* text, float polyphony, float volume, double& value);

}  // namespace clap_format
