#include "editor/value_display.h"

CValueDisplay::CValueDisplay(const CRect& rect) : CParamDisplay(rect) {}
