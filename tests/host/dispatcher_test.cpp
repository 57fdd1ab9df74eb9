// Every opcode from 0 to 76 answers as a host expects of this instrument.
#include <cstring>
#include <set>
#include <vector>

#include "plugin_fixture.h"

using namespace testing_support;

namespace {

class Dispatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = newInstance();
    ASSERT_TRUE(plugin);
  }
  std::unique_ptr<plughost::PluginInstance> plugin;
};

}  // namespace

TEST_F(Dispatcher, IdentityTexts) {
  EXPECT_EQ(plugin->dispatch(vst::effIdentify), vst::fourCC("NvEf"));
  EXPECT_EQ(plugin->dispatch(vst::effGetVstVersion), 2300);
  EXPECT_EQ(plugin->dispatch(vst::effGetPlugCategory), vst::kPlugCategSynth);
  EXPECT_EQ(plugin->dispatch(vst::effGetVendorVersion), 1);
  EXPECT_EQ(plugin->text(vst::effGetEffectName), "Quillstave");
  EXPECT_EQ(plugin->text(vst::effGetProductString), "Quillstave Plucked String Synthesizer");
  std::string vendor = plugin->text(vst::effGetVendorString);
  EXPECT_NE(vendor.find('.'), std::string::npos) << "the vendor is a web domain";
  EXPECT_LT(vendor.size(), size_t(vst::kMaxVendorStrLen));
  char buffer[64];
  EXPECT_EQ(plugin->dispatch(vst::effGetEffectName, 0, 0, buffer), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetProductString, 0, 0, buffer), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetVendorString, 0, 0, buffer), 1);
}

TEST_F(Dispatcher, CanDoMatchesWholeTextsOnly) {
  auto canDo = [&](const char* text) {
    std::string copy = text;
    return plugin->dispatch(vst::effCanDo, 0, 0, copy.data());
  };
  EXPECT_EQ(canDo("receiveVstEvents"), 1);
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(canDo("receiveVstTimeInfo"), -1);
  EXPECT_EQ(canDo("receiveVstEventsX"), -1);
  EXPECT_EQ(canDo("receiveVstEvent"), -1);
  EXPECT_EQ(canDo("ReceiveVstEvents"), -1);
  EXPECT_EQ(canDo(""), -1);
}

TEST_F(Dispatcher, OutputPinsAreTwoActiveStereoPins) {
  for (int index = 0; index < 2; ++index) {
    vst::VstPinProperties pin;
    std::memset(&pin, 0x5A, sizeof(pin));
    ASSERT_EQ(plugin->dispatch(vst::effGetOutputProperties, index, 0, &pin), 1);
    EXPECT_STREQ(pin.label, index == 0 ? "Quillstave 1" : "Quillstave 2");
    EXPECT_EQ(pin.flags, vst::kVstPinIsActive | vst::kVstPinIsStereo);
    // The other fields stay as the host passed them.
    EXPECT_EQ(pin.arrangementType, 0x5A5A5A5A);
    EXPECT_EQ(pin.shortLabel[0], 0x5A);
  }
  vst::VstPinProperties pin{};
  EXPECT_EQ(plugin->dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetOutputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(pin.label[0], 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(Dispatcher, FixedAnswers) {
  EXPECT_EQ(plugin->dispatch(vst::effOpen), 0);
  EXPECT_EQ(plugin->dispatch(vst::effCanBeAutomated, 5), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetNumProgramCategories), 1);
  EXPECT_EQ(plugin->dispatch(vst::effConnectInput, 0, 1), 1);
  EXPECT_EQ(plugin->dispatch(vst::effConnectOutput, 1, 1), 1);
  EXPECT_EQ(plugin->dispatch(vst::effKeysRequired), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetCurrentMidiProgram), -1);
  EXPECT_EQ(plugin->dispatch(vst::effSetTotalSampleToProcess, 0, 4321), 4321);
  EXPECT_EQ(plugin->dispatch(vst::effGetVu), 0);
  EXPECT_EQ(plugin->dispatch(vst::effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 1);
  EXPECT_EQ(plugin->dispatch(vst::effProcessEvents, 0, 0, nullptr), 1);
}

TEST_F(Dispatcher, SpeakerArrangementStoresNullThroughBothPointers) {
  int dummy = 0;
  void* input = &dummy;
  void* output = &dummy;
  EXPECT_EQ(plugin->dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input),
                             &output),
            0);
  EXPECT_EQ(input, nullptr);
  EXPECT_EQ(output, nullptr);
}

TEST_F(Dispatcher, UnsupportedAndOutOfRangeOpcodesAnswerZero) {
  const std::set<int32_t> answered = {vst::effClose,
                                      vst::effGetProgram,
                                      vst::effEditGetRect,
                                      vst::effEditOpen,
                                      vst::effIdentify,
                                      vst::effGetChunk,
                                      vst::effSetChunk,
                                      vst::effProcessEvents,
                                      vst::effCanBeAutomated,
                                      vst::effGetNumProgramCategories,
                                      vst::effGetProgramNameIndexed,
                                      vst::effCopyProgram,
                                      vst::effConnectInput,
                                      vst::effConnectOutput,
                                      vst::effGetOutputProperties,
                                      vst::effGetPlugCategory,
                                      vst::effSetBlockSizeAndSampleRate,
                                      vst::effGetEffectName,
                                      vst::effGetVendorString,
                                      vst::effGetProductString,
                                      vst::effGetVendorVersion,
                                      vst::effCanDo,
                                      vst::effKeysRequired,
                                      vst::effGetVstVersion,
                                      vst::effEditKeyDown,
                                      vst::effEditKeyUp,
                                      vst::effSetEditKnobMode,
                                      vst::effGetCurrentMidiProgram,
                                      vst::effSetTotalSampleToProcess,
                                      vst::effEditIdle,
                                      vst::effEditClose,
                                      vst::effMainsChanged,
                                      vst::effSetProgram};
  std::vector<char> scratch(8192, 0);
  for (int32_t op = 0; op <= 76; ++op) {
    if (answered.count(op) || op == vst::effGetSpeakerArrangement) continue;
    std::fill(scratch.begin(), scratch.end(), 0);
    EXPECT_EQ(plugin->dispatch(op, 0, 0, scratch.data()), 0) << "opcode " << op;
  }
  for (int32_t op : {-1, 77, 78, 1000, -100000}) {
    EXPECT_EQ(plugin->dispatch(op, 1, 1, scratch.data(), 1.0f), 0) << "opcode " << op;
  }
  // The instance is still whole afterwards.
  EXPECT_EQ(plugin->dispatch(vst::effIdentify), vst::fourCC("NvEf"));
}

TEST_F(Dispatcher, MainsChangedAsksForMidiOnResume) {
  plugin->clearCalls();
  EXPECT_EQ(plugin->dispatch(vst::effMainsChanged, 0, 0), 0);
  EXPECT_EQ(plugin->countCalls(vst::audioMasterWantMidi), 0u);
  EXPECT_EQ(plugin->dispatch(vst::effMainsChanged, 0, 1), 0);
  auto calls = plugin->calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].opcode, vst::audioMasterWantMidi);
  EXPECT_EQ(calls[0].value, 1);
  EXPECT_FALSE(calls[0].nullEffect);
}

TEST_F(Dispatcher, ProgramSelectionIgnoresOutOfRangeNumbers) {
  plugin->dispatch(vst::effSetProgram, 0, 5);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 5);
  for (intptr_t bad : {intptr_t(32), intptr_t(-1), intptr_t(1000)}) {
    plugin->dispatch(vst::effSetProgram, 0, bad);
    EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 5);
  }
}

TEST_F(Dispatcher, ChunksHaveExactSizes) {
  void* data = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effGetChunk, 0, 0, &data), 5632);
  ASSERT_NE(data, nullptr);
  std::vector<char> bank(static_cast<char*>(data), static_cast<char*>(data) + 5632);
  EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 0, 5632, bank.data()), 1);
  void* again = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effGetChunk, 0, 0, &again), 5632);
  EXPECT_EQ(std::memcmp(again, bank.data(), 5632), 0);
  EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 0, 5631, bank.data()), 0);
  EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 0, 5633, bank.data()), 0);

  ASSERT_EQ(plugin->dispatch(vst::effGetChunk, 1, 0, &data), 176);
  std::vector<char> preset(static_cast<char*>(data), static_cast<char*>(data) + 176);
  EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 1, 176, preset.data()), 1);
  EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 1, 175, preset.data()), 0);
  EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 1, 177, preset.data()), 0);
}

TEST_F(Dispatcher, ProgramNameIndexAndCopyRange) {
  char name[32] = {};
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, 31, 0, name), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, 32, 0, name), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, -1, 0, name), 0);
  EXPECT_EQ(plugin->dispatch(vst::effCopyProgram, 31), 1);
  EXPECT_EQ(plugin->dispatch(vst::effCopyProgram, 32), 0);
  EXPECT_EQ(plugin->dispatch(vst::effCopyProgram, -1), 0);
}

TEST_F(Dispatcher, EditorRectangleIsTheWindowSize) {
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 851);
  EXPECT_EQ(rect->bottom - rect->top, 311);
}

TEST_F(Dispatcher, NullBuffersAreNotWrittenThrough) {
  for (int32_t op : {vst::effGetProgramName, vst::effGetParamName, vst::effGetParamLabel,
                     vst::effGetParamDisplay, vst::effSetProgramName, vst::effGetEffectName,
                     vst::effGetVendorString, vst::effGetProductString, vst::effCanDo,
                     vst::effGetOutputProperties, vst::effGetChunk, vst::effEditGetRect,
                     vst::effGetProgramNameIndexed}) {
    EXPECT_EQ(plugin->dispatch(op, 0, 0, nullptr), 0) << "opcode " << op;
  }
}

TEST_F(Dispatcher, AutomationAndEditGesturesReachTheHost) {
  // Through the record only the host-facing parts are visible; the plug-in's
  // own calls are checked in the editor and MIDI tests. Here: no unsolicited calls.
  plugin->clearCalls();
  plugin->setParameter(3, 0.5f);
  EXPECT_EQ(plugin->getParameter(3), 0.5f);
  EXPECT_EQ(plugin->countCalls(vst::audioMasterAutomate), 0u);
}
