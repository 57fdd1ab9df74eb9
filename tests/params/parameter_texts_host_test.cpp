// Parameter names, labels and value texts as a host reads them through the
// dispatcher of the loaded plug-in.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "plugin_fixture.h"

using namespace testing_support;

namespace {

class ParameterTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = newInstance();
    ASSERT_TRUE(plugin);
  }

  std::string display(int32_t index, float value) {
    plugin->setParameter(index, value);
    return plugin->parameterDisplay(index);
  }

  std::unique_ptr<plughost::PluginInstance> plugin;
};

constexpr int32_t kQuantizeNoise = 9;
constexpr int32_t kBodyType1 = 25;
constexpr int32_t kBodyType2 = 26;

}  // namespace

TEST_F(ParameterTexts, QuantizeNoiseNameFlipsAtOneHalf) {
  plugin->setParameter(kQuantizeNoise, 0.4999f);
  EXPECT_EQ(plugin->parameterName(kQuantizeNoise), "Quantize");
  plugin->setParameter(kQuantizeNoise, 0.5f);
  EXPECT_EQ(plugin->parameterName(kQuantizeNoise), "Noise");
  plugin->setParameter(kQuantizeNoise, 1.0f);
  EXPECT_EQ(plugin->parameterName(kQuantizeNoise), "Noise");
  // Other names do not follow parameter 9.
  EXPECT_EQ(plugin->parameterName(10), "Leakage Cut");
}

TEST_F(ParameterTexts, QuantizeNoiseText) {
  EXPECT_EQ(display(kQuantizeNoise, 0.4901f), "--nq--");
  EXPECT_EQ(display(kQuantizeNoise, 0.5f), "--nq--");
  EXPECT_EQ(display(kQuantizeNoise, 0.5099f), "--nq--");
  EXPECT_EQ(display(kQuantizeNoise, 0.49f), "125 Q");
  EXPECT_EQ(display(kQuantizeNoise, 0.0f), "1 Q");
  EXPECT_EQ(display(kQuantizeNoise, 0.51f), "125 N");
  EXPECT_EQ(display(kQuantizeNoise, 0.98f), "6 N");
  EXPECT_EQ(display(kQuantizeNoise, 1.0f), "1 N");
}

TEST_F(ParameterTexts, BodyTypeNames) {
  for (int32_t index : {kBodyType1, kBodyType2}) {
    EXPECT_EQ(display(index, 0.0f), "None");
    EXPECT_EQ(display(index, 0.0833f), "None");
    EXPECT_EQ(display(index, 0.0834f), "Guitar");
    EXPECT_EQ(display(index, 0.3f), "Clavi");
    EXPECT_EQ(display(index, 0.6f), "Haskoro");
    EXPECT_EQ(display(index, 0.9f), "t-Random");
    EXPECT_EQ(display(index, 1.0f), "n-Random");
  }
}

TEST_F(ParameterTexts, FilterOrderIsSevenWide) {
  EXPECT_EQ(plugin->parameterName(20), "Flt. Ord");
  EXPECT_EQ(plugin->parameterLabel(20), "  taps  ");
  EXPECT_EQ(display(20, 0.0f), "      1");
  EXPECT_EQ(display(20, 0.5f), "     15");
  EXPECT_EQ(display(20, 1.0f), "     30");
}

TEST_F(ParameterTexts, RateTexts) {
  for (int32_t index : {6, 16, 23}) {
    EXPECT_EQ(display(index, 1.0f), "200.0 Hz");
    EXPECT_EQ(display(index, 0.5f), "50.00 Hz");
    EXPECT_EQ(display(index, 0.1f), "2.000 Hz");
    EXPECT_EQ(display(index, 0.0f), "0.0000 Hz");
    // 0.00999700 Hz: just below 0.01, so four decimals.
    EXPECT_EQ(display(index, 0.00707f), "0.0100 Hz");
  }
}

TEST_F(ParameterTexts, ScaledTexts) {
  EXPECT_EQ(display(0, 0.335581f), "0.3356");
  EXPECT_EQ(display(1, 0.5f), "4.0000");
  EXPECT_EQ(display(30, 1.0f), "16.0000");
  EXPECT_EQ(display(12, 1.0f), "12.0000");
  EXPECT_EQ(display(29, 0.44f), "44.0000");
  EXPECT_EQ(display(34, 0.91946167f), "0.92");
}

TEST_F(ParameterTexts, TwoWaySwitches) {
  EXPECT_EQ(display(11, 0.5f), "negative");
  EXPECT_EQ(display(11, 0.51f), "positive");
  EXPECT_EQ(display(19, 0.4999f), "leakage");
  EXPECT_EQ(display(19, 0.5f), "output");
}

TEST_F(ParameterTexts, QualityHasAnEmptyText) {
  char text[32];
  for (float v : {0.0f, 1.0f}) {
    plugin->setParameter(37, v);
    std::memset(text, 'x', sizeof(text));
    plugin->dispatch(vst::effGetParamDisplay, 37, 0, text);
    EXPECT_STREQ(text, "");
  }
  std::memset(text, 'x', sizeof(text));
  plugin->dispatch(vst::effGetParamDisplay, 38, 0, text);
  EXPECT_STREQ(text, "");
}

TEST_F(ParameterTexts, NamesAndLabelsKeepTheirBlanks) {
  EXPECT_EQ(plugin->parameterName(0), " Bright ");
  EXPECT_EQ(plugin->parameterName(2), " Release");
  EXPECT_EQ(plugin->parameterName(4), "Gain A  ");
  EXPECT_EQ(plugin->parameterName(8), " Lkg A->B");
  EXPECT_EQ(plugin->parameterName(35), " Volume ");
  EXPECT_EQ(plugin->parameterName(36), "Polyphony");
  EXPECT_EQ(plugin->parameterLabel(8), " (gain) ");
  EXPECT_EQ(plugin->parameterLabel(29), "    %   ");
  EXPECT_EQ(plugin->parameterLabel(35), "   dB   ");
  EXPECT_EQ(plugin->parameterLabel(36), " voices ");
}

TEST_F(ParameterTexts, DashRowsGetNoLabel) {
  const int32_t unlabelled[] = {6, 7, 10, 11, 16, 17, 18, 23, 24, 31, 32, 33, 37, 38, 100, -1};
  for (int32_t index : unlabelled) {
    char text[16];
    std::memset(text, '#', sizeof(text));
    plugin->dispatch(vst::effGetParamLabel, index, 0, text);
    for (char c : text) ASSERT_EQ(c, '#') << "label of " << index;
  }
  // Every other row has an eight-character label.
  for (int32_t index = 0; index < 37; ++index) {
    bool dash = false;
    for (int32_t u : unlabelled) dash = dash || u == index;
    if (!dash) {
      EXPECT_EQ(plugin->parameterLabel(index).size(), 8u) << index;
    }
  }
}

TEST_F(ParameterTexts, NamesOutOfRangeWriteNothing) {
  for (int32_t index : {38, 39, -1}) {
    char text[16];
    std::memset(text, '#', sizeof(text));
    plugin->dispatch(vst::effGetParamName, index, 0, text);
    for (char c : text) ASSERT_EQ(c, '#') << "name of " << index;
  }
}

TEST_F(ParameterTexts, ValuesFarOutsideTheRangeStayInTheirBuffer) {
  const float extremes[] = {1e30f, -1e30f, std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
  for (float v : extremes) {
    for (int32_t index = 0; index < 37; ++index) {
      plugin->setParameter(index, v);
      char text[64];
      std::memset(text, '#', sizeof(text));
      plugin->dispatch(vst::effGetParamDisplay, index, 0, text);
      const size_t length = strnlen(text, sizeof(text));
      ASSERT_LE(length, 15u) << index << " at " << v;
      for (size_t i = 16; i < sizeof(text); ++i) ASSERT_EQ(text[i], '#') << index << " at " << v;
    }
  }
}
