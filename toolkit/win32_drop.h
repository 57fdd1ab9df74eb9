// Reading a WM_DROPFILES drop: the paths (shortcuts resolved to their targets,
// in UTF-8) and the drop point in the window's client coordinates.
#pragma once

#include <windows.h>

#include "toolkit/drop_items.h"
#include "toolkit/point.h"

// Reads and releases the drop.
CDropItems droppedFiles(HDROP drop, CPoint& where);
