// What a CLAP host finds when it scans the module: the descriptor, the ports,
// and the 38 parameters with their ranges, defaults, steps and texts, which
// read as the VST 2 build's and turn back into the same values.
#include <cmath>
#include <cstring>
#include <string>

#include "clap_fixture.h"
#include "params/named_settings.h"
#include "plugin_fixture.h"

using namespace clap_support;

namespace {

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

TEST(ClapDescriptor, TheFactoryOffersOneInstrumentWithItsPorts) {
  const clap::PluginFactory* factory = module().factory();
  ASSERT_EQ(factory->getPluginCount(factory), 1u);
  const clap::PluginDescriptor* desc = factory->getPluginDescriptor(factory, 0);
  ASSERT_NE(desc, nullptr);
  EXPECT_EQ(factory->getPluginDescriptor(factory, 1), nullptr);
  EXPECT_STREQ(desc->name, "Quillstave");
  EXPECT_TRUE(clap::compatible(desc->clapVersion));
  bool instrument = false;
  for (const char* const* f = desc->features; f && *f; ++f)
    instrument |= std::strcmp(*f, "instrument") == 0;
  EXPECT_TRUE(instrument);
  EXPECT_EQ(module().entry().getFactory("clap.no-such-factory"), nullptr);

  // A wrong id or a missing host gets no instance.
  EXPECT_EQ(factory->createPlugin(factory, nullptr, desc->id), nullptr);
  auto instance = newClapInstance();
  ASSERT_TRUE(instance);
  EXPECT_EQ(instance->extension<void>("clap.no-such-extension"), nullptr);

  const auto* audio = instance->extension<clap::PluginAudioPorts>(clap::kExtAudioPorts);
  ASSERT_NE(audio, nullptr);
  for (bool input : {true, false}) {
    ASSERT_EQ(audio->count(instance->plugin(), input), 1u);
    clap::AudioPortInfo info{};
    ASSERT_TRUE(audio->get(instance->plugin(), 0, input, &info));
    EXPECT_EQ(info.channelCount, 2u);
    EXPECT_STREQ(info.portType, clap::kPortStereo);
    EXPECT_FALSE(audio->get(instance->plugin(), 1, input, &info));
  }
  const auto* notes = instance->extension<clap::PluginNotePorts>(clap::kExtNotePorts);
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->count(instance->plugin(), false), 0u);
  ASSERT_EQ(notes->count(instance->plugin(), true), 1u);
  clap::NotePortInfo info{};
  ASSERT_TRUE(notes->get(instance->plugin(), 0, true, &info));
  EXPECT_EQ(info.supportedDialects, clap::kNoteDialectClap | clap::kNoteDialectMidi);
}

TEST(ClapDescriptor, ParametersMatchTheVst2BuildsNamesDefaultsAndSteps) {
  auto instance = newClapInstance();
  auto vst = testing_support::newInstance();
  ASSERT_TRUE(instance && vst);
  const auto* params = instance->extension<clap::PluginParams>(clap::kExtParams);
  ASSERT_NE(params, nullptr);
  ASSERT_EQ(params->count(instance->plugin()), 38u);
  for (uint32_t i = 0; i < 38; ++i) {
    clap::ParamInfo info{};
    ASSERT_TRUE(params->getInfo(instance->plugin(), i, &info));
    EXPECT_EQ(info.id, i);
    // The VST 2 build renames Quantize by its value; here names stay put.
    if (i != params::kQuantizeNoise) {
      EXPECT_EQ(info.name, trimmed(vst->parameterName(int32_t(i)))) << i;
    }
    const int32_t steps = params::namedSettings(int32_t(i)).count > 0
                              ? params::namedSettings(int32_t(i)).count
                              : params::rangeSteps(int32_t(i));
    EXPECT_EQ((info.flags & clap::kParamIsStepped) != 0, steps > 0) << i;
    EXPECT_EQ(info.minValue, 0.0);
    EXPECT_EQ(info.maxValue, steps > 0 ? steps - 1.0 : 1.0) << i;
    EXPECT_EQ(info.defaultValue, instance->value(i)) << i;
    // The value a new instance has reads as the VST 2 build's display.
    const std::string display = trimmed(vst->parameterDisplay(int32_t(i)));
    if (params::namedSettings(int32_t(i)).count == 0) {
      EXPECT_EQ(instance->text(i, instance->value(i)).substr(0, display.size()), display) << i;
    }
  }
  clap::ParamInfo info{};
  EXPECT_FALSE(params->getInfo(instance->plugin(), 38, &info));
  EXPECT_FALSE(params->getInfo(instance->plugin(), 0, nullptr));
  double v = 0.0;
  EXPECT_FALSE(params->getValue(instance->plugin(), 38, &v));
  EXPECT_FALSE(params->getValue(instance->plugin(), 0, nullptr));
}

TEST(ClapDescriptor, ValuesRoundTripThroughTheirTexts) {
  auto instance = newClapInstance();
  ASSERT_TRUE(instance);
  const auto* params = instance->extension<clap::PluginParams>(clap::kExtParams);
  for (uint32_t i = 0; i < 38; ++i) {
    clap::ParamInfo info{};
    ASSERT_TRUE(params->getInfo(instance->plugin(), i, &info));
    const bool stepped = info.flags & clap::kParamIsStepped;
    for (int n = 0; n <= 20; ++n) {
      const double value = stepped ? std::floor(info.maxValue * n / 20.0) : n / 20.0;
      const std::string text = instance->text(i, value);
      double back = -1.0;
      ASSERT_TRUE(instance->fromText(i, text, back)) << i << " '" << text << "'";
      // The text comes back to itself; a step or a plain number to the value.
      EXPECT_EQ(instance->text(i, back), text) << i << " " << value;
      if (stepped || params::kParameterTable[i].format == params::ValueFormat::kPlain) {
        EXPECT_NEAR(back, value, stepped ? 0.0 : 1e-4) << i << " '" << text << "'";
      }
    }
  }
  // Typed numbers land on the nearest value; words that name nothing are refused.
  double v = 0.0;
  ASSERT_TRUE(instance->fromText(params::kAttack, "4 s", v));
  EXPECT_NEAR(16.0 * v * v, 4.0, 1e-3);
  ASSERT_TRUE(instance->fromText(params::kBodyType1, "viola", v));
  EXPECT_EQ(v, 5.0);
  EXPECT_FALSE(instance->fromText(params::kBodyType1, "tuba", v));
  EXPECT_FALSE(instance->fromText(params::kBright, "bright", v));
  EXPECT_FALSE(instance->fromText(38, "0.5", v));
  EXPECT_FALSE(params->textToValue(instance->plugin(), 0, nullptr, &v));
  char tiny[4];
  ASSERT_TRUE(params->valueToText(instance->plugin(), params::kAttack, 1.0, tiny, sizeof tiny));
  EXPECT_STREQ(tiny, "16.");
  EXPECT_FALSE(params->valueToText(instance->plugin(), 0, 0.5, nullptr, 16));
}
