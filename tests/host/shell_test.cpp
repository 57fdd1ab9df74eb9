// The plug-in as a host first meets it: the entry point, the effect record,
// instance lifetime.
#include <cstring>

#include "plugin_fixture.h"

using namespace testing_support;

TEST(Entry, RecordCarriesTheInstrumentsIdentity) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  const vst::AEffect* e = plugin->effect();
  EXPECT_EQ(e->magic, vst::fourCC("VstP"));
  EXPECT_EQ(e->numPrograms, 32);
  EXPECT_EQ(e->numParams, 38);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 273);
  EXPECT_EQ(e->uniqueID, vst::fourCC("QSTV"));
  EXPECT_EQ(e->version, 1);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->initialDelay, 0);
  EXPECT_EQ(e->resvd1, 0);
  EXPECT_EQ(e->resvd2, 0);
  EXPECT_EQ(e->user, nullptr);
  EXPECT_NE(e->object, nullptr);
  EXPECT_NE(e->dispatcher, nullptr);
  EXPECT_NE(e->process, nullptr);
  EXPECT_NE(e->processReplacing, nullptr);
  EXPECT_NE(e->setParameter, nullptr);
  EXPECT_NE(e->getParameter, nullptr);
  EXPECT_EQ(e->processDoubleReplacing, nullptr);
  for (char c : e->future) EXPECT_EQ(c, 0);
}

TEST(Entry, AsksTheHostVersionFirstWithoutARecord) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  auto calls = plugin->calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().opcode, vst::audioMasterVersion);
  EXPECT_TRUE(calls.front().nullEffect);
}

TEST(Entry, HostTooOldGetsNoInstance) {
  plughost::PluginInstance::Options old;
  old.hostVersion = 0;
  EXPECT_EQ(newInstance(old), nullptr);
  // The module is still usable afterwards.
  EXPECT_TRUE(newInstance());
}

TEST(Entry, BothEntryNamesAreExported) {
  EXPECT_NE(pluginModule().symbol("main"), nullptr);
  EXPECT_NE(pluginModule().symbol("VSTPluginMain"), nullptr);
}

TEST(Entry, CloseAnswersOneAndReleasesTheInstance) {
  // Many open/close cycles: leaks show up under the sanitizer and valgrind runs.
  for (int i = 0; i < 20; ++i) {
    auto plugin = newInstance();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->close(), 1);
    EXPECT_EQ(plugin->effect(), nullptr);
  }
}

TEST(Entry, TwoInstancesAreIndependent) {
  auto a = newInstance();
  auto b = newInstance();
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->effect(), b->effect());
  EXPECT_NE(a->effect()->object, b->effect()->object);

  a->setParameter(0, 0.25f);
  b->setParameter(0, 0.75f);
  EXPECT_EQ(a->getParameter(0), 0.25f);
  EXPECT_EQ(b->getParameter(0), 0.75f);

  char name[32] = "first bank";
  a->dispatch(vst::effSetProgramName, 0, 0, name);
  EXPECT_EQ(a->programName(), "first bank");
  EXPECT_NE(b->programName(), "first bank");

  a->dispatch(vst::effSetProgram, 0, 3);
  EXPECT_EQ(a->dispatch(vst::effGetProgram), 3);
  EXPECT_EQ(b->dispatch(vst::effGetProgram), 0);

  // Closing one leaves the other working.
  a->close();
  EXPECT_EQ(b->getParameter(0), 0.75f);
  EXPECT_EQ(b->dispatch(vst::effIdentify), vst::fourCC("NvEf"));
}
