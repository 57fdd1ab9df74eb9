// The editor when memory for its images and canvas runs out: the instance is
// built all the same, opening answers 0, and nothing is freed twice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "host/editor_interface.h"
#include "host/module.h"
#include "host/synth_plugin_gui.h"

// The module's globals, which the entry point's file defines in the plug-in.
namespace module {
void* instanceHandle = nullptr;
std::atomic<bool> outOfMemory{false};
}  // namespace module

namespace {
// Allocations of a megabyte or more (the editor's 851 × 311 canvas) fail while set.
bool failLargeAllocations = false;
}  // namespace

void* operator new(std::size_t size) {
  if (failLargeAllocations && size >= 1000000) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// The plug-in builds its editor with the nothrow form; it must take the same
// heap as the deletes below.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (failLargeAllocations && size >= 1000000) return nullptr;
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(EditorMemory, NoCanvasLeavesNoEditorBehind) {
  failLargeAllocations = true;
  auto* plugin = new SynthPluginGui(nullptr);
  AEffEditor* editor = plugin->getEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f), 0);
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  failLargeAllocations = false;
  EXPECT_EQ(plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f), 1);
  plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);

  // An editor deleted before its plug-in withdraws itself.
  delete editor;
  EXPECT_EQ(plugin->getEditor(), nullptr);
  EXPECT_FALSE(plugin->getAeffect()->flags & vst::effFlagsHasEditor);
  EXPECT_EQ(plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f), 0);
  delete plugin;
}
