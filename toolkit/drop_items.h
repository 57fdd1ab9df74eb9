// What was dropped on the window: file paths (shortcuts already resolved to
// their targets) or text, and how many.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CDropKind { kFiles, kText, kUnknown };

struct CDropItems {
  CDropKind kind = CDropKind::kFiles;
  std::vector<std::string> items;

  int32_t count() const { return static_cast<int32_t>(items.size()); }
};
