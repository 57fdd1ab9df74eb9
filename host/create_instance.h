// Builds one instance of the instrument for a host callback: what the module's
// entry points answer, also linked into programs that host the instrument
// without loading the module (the fuzzers).
#pragma once

#include "host/effect_record.h"

// The new instance's effect record; null when the host is too old (answers 0
// to the version query) or memory runs out. Nothing is thrown.
vst::AEffect* createSynthInstance(vst::HostCallback host);
