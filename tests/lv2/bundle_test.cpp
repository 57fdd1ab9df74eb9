// The bundle as a host reads it: the Turtle files parse without a word from
// lilv, the ports carry the parameter table's names, ranges, defaults and
// named settings, and the factory programs are presets.
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <map>

#include "lv2_fixture.h"
#include "params/named_settings.h"
#include "params/program_bank.h"

using namespace lv2_support;

namespace {

struct Nodes {
  explicit Nodes(LilvWorld* w) : w(w) {}
  ~Nodes() {
    for (LilvNode* n : made) lilv_node_free(n);
  }
  LilvNode* uri(const char* text) {
    made.push_back(lilv_new_uri(w, text));
    return made.back();
  }
  LilvWorld* w;
  std::vector<LilvNode*> made;
};

params::ProgramBank factoryBank() {
  params::ProgramBank bank;
  params::writeFactoryPresets(bank);
  return bank;
}

std::string trimmed(const char* name) {
  std::string s = name;
  s.erase(0, s.find_first_not_of(' '));
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

uint32_t bitsOf(float v) {
  uint32_t b;
  std::memcpy(&b, &v, 4);
  return b;
}

}  // namespace

TEST(Lv2Bundle, ReadsWithoutWarningsAndDescribesTheInstrument) {
  StderrCapture capture;
  lv2host::World fresh;
  const LilvPlugin* p = fresh.plugin(lv2::kPluginUri);
  ASSERT_NE(p, nullptr);
  Nodes n(fresh.get());
  // Reading everything a host shows: ports, presets and the UI.
  lilv_plugin_get_num_ports(p);
  LilvNodes* presets = lilv_plugin_get_related(p, n.uri(LV2_PRESETS__Preset));
  LILV_FOREACH(nodes, i, presets)
  lilv_world_load_resource(fresh.get(), lilv_nodes_get(presets, i));
  LilvUIs* uis = lilv_plugin_get_uis(p);
  const std::string said = capture.finish();
  EXPECT_EQ(said, "");

  LilvNode* name = lilv_plugin_get_name(p);
  EXPECT_STREQ(lilv_node_as_string(name), "Quillstave");
  lilv_node_free(name);
  EXPECT_TRUE(lilv_world_ask(fresh.get(), lilv_plugin_get_uri(p),
                             n.uri("http://www.w3.org/1999/02/22-rdf-syntax-ns#type"),
                             n.uri(LV2_CORE__InstrumentPlugin)));
  EXPECT_TRUE(lilv_plugin_has_feature(p, n.uri(LV2_URID__map)));
  EXPECT_TRUE(lilv_plugin_has_extension_data(p, n.uri(LV2_STATE__interface)));
  EXPECT_EQ(lilv_nodes_size(presets), 8u);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  EXPECT_TRUE(lilv_ui_is_a(ui, n.uri(LV2_UI__X11UI)));
  lilv_uis_free(uis);
  lilv_nodes_free(presets);
}

TEST(Lv2Bundle, PortsFollowTheParameterTable) {
  const LilvPlugin* p = plugin();
  ASSERT_NE(p, nullptr);
  Nodes n(world().get());
  ASSERT_EQ(lilv_plugin_get_num_ports(p), lv2::kPortCount);
  EXPECT_EQ(lilv_plugin_get_num_ports_of_class(p, n.uri(LV2_CORE__ControlPort),
                                               n.uri(LV2_CORE__InputPort), nullptr),
            38u);
  EXPECT_EQ(lilv_plugin_get_num_ports_of_class(p, n.uri(LV2_CORE__AudioPort),
                                               n.uri(LV2_CORE__InputPort), nullptr),
            2u);
  EXPECT_EQ(lilv_plugin_get_num_ports_of_class(p, n.uri(LV2_CORE__AudioPort),
                                               n.uri(LV2_CORE__OutputPort), nullptr),
            2u);
  const LilvPort* midi = lilv_plugin_get_port_by_index(p, lv2::kMidiPort);
  EXPECT_TRUE(lilv_port_is_a(p, midi, n.uri(LV2_ATOM__AtomPort)));
  EXPECT_TRUE(lilv_port_supports_event(p, midi, n.uri(LV2_MIDI__MidiEvent)));

  const params::ProgramBank bank = factoryBank();
  std::vector<float> mins(lv2::kPortCount), maxs(lv2::kPortCount), defs(lv2::kPortCount);
  lilv_plugin_get_port_ranges_float(p, mins.data(), maxs.data(), defs.data());
  for (int32_t i = 0; i < params::kNumParams; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(p, uint32_t(i));
    LilvNode* name = lilv_port_get_name(p, port);
    EXPECT_EQ(lilv_node_as_string(name), trimmed(params::kParameterTable[i].name)) << i;
    lilv_node_free(name);
    EXPECT_EQ(mins[size_t(i)], 0.0f) << i;
    EXPECT_EQ(maxs[size_t(i)], 1.0f) << i;
    // A new instance starts on program 0: the defaults are its values, to the bit.
    EXPECT_EQ(bitsOf(defs[size_t(i)]), bitsOf(bank.programs[0].values[i])) << i;

    LilvScalePoints* points = lilv_port_get_scale_points(p, port);
    std::map<float, std::string> named;
    LILV_FOREACH(scale_points, k, points) {
      const LilvScalePoint* point = lilv_scale_points_get(points, k);
      named[lilv_node_as_float(lilv_scale_point_get_value(point))] =
          lilv_node_as_string(lilv_scale_point_get_label(point));
    }
    lilv_scale_points_free(points);
    const params::SettingList settings = params::namedSettings(i);
    ASSERT_EQ(named.size(), size_t(settings.count)) << i;
    EXPECT_EQ(lilv_port_has_property(p, port, n.uri(LV2_CORE__toggled)), settings.toggled) << i;
  }
  // Worked values: the second body type sits at 1.5 / 12, polarity at 0 and 1.
  LilvScalePoints* body =
      lilv_port_get_scale_points(p, lilv_plugin_get_port_by_index(p, params::kBodyType1));
  bool guitar = false;
  LILV_FOREACH(scale_points, k, body) {
    const LilvScalePoint* point = lilv_scale_points_get(body, k);
    if (std::string(lilv_node_as_string(lilv_scale_point_get_label(point))) == "Guitar")
      guitar = lilv_node_as_float(lilv_scale_point_get_value(point)) == 0.125f;
  }
  lilv_scale_points_free(body);
  EXPECT_TRUE(guitar);
  EXPECT_TRUE(lilv_port_has_property(p, lilv_plugin_get_port_by_index(p, params::kLineBPolarity),
                                     n.uri(LV2_CORE__toggled)));
}

TEST(Lv2Bundle, FactoryPresetsSetTheFactoryValues) {
  const params::ProgramBank bank = factoryBank();
  auto instance = newLv2Instance();
  ASSERT_TRUE(instance);
  for (int program = 0; program < 8; ++program) {
    ASSERT_TRUE(instance->loadPreset(presetUri(program).c_str())) << program;
    for (int32_t i = 0; i < params::kNumParams; ++i)
      ASSERT_EQ(bitsOf(instance->control(uint32_t(i))), bitsOf(bank.programs[program].values[i]))
          << program << " " << i;
  }
}

TEST(Lv2Bundle, HostsWithoutAnUridMapAreRefused) {
  EXPECT_EQ(lv2host::Instance::create(world(), plugin(), 44100.0, 64, false), nullptr);
}
