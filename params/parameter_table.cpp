#include "params/parameter_table.h"

namespace params {

void writeName(int32_t, float, char*) {}
void writeLabel(int32_t, char*) {}
void writeDisplay(int32_t, float, const DisplayContext&, char* text) { text[0] = '\0'; }

}  // namespace params
