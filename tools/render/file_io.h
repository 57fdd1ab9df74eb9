// Whole-file reading and all-or-nothing writing for the renderer's outputs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// Reads a whole file; throws RenderError when it cannot.
std::vector<uint8_t> readFileBytes(const std::string& path);

// Creates the folders above path when they are missing.
void makeParentFolders(const std::string& path);

// The name a file is written under until it is complete: beside the final
// name, so that the rename stays within one file system.
std::string temporaryNameFor(const std::string& path);

// Writes to the temporary name and renames it over path; nothing is left at
// either name when writing fails.
void writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Moves a finished temporary file to its final name.
void commitTemporary(const std::string& temporary, const std::string& path);

}  // namespace render
