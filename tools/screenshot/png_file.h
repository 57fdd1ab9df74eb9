// Writing an editor image as an 8-bit RGB PNG file.
#pragma once

#include <string>

#include "screenshot/editor_snapshot.h"

namespace screenshot {

// Writes the image to path through a temporary file beside it, so that a
// failure never leaves a partial file; throws std::runtime_error with a
// one-line reason.
void writePng(const EditorImage& image, const std::string& path);

// Reads an 8-bit RGB or RGBA PNG file back (alpha is dropped); throws
// std::runtime_error for anything else.
EditorImage readPng(const std::string& path);

}  // namespace screenshot
