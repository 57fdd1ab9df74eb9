#include "lv2/ttl_writer.h"

#include <cctype>
#include <cstdio>

#include "lv2/lv2_ports.h"
#include "params/named_settings.h"
#include "params/program_bank.h"

namespace lv2 {

namespace {

constexpr char kPrefixes[] =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// Nine significant digits give back the same float; always a decimal point
// or an exponent, so that Turtle reads a number with a fraction.
std::string number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  std::string s = text;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string quoted(const std::string& text) {
  std::string s = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') s += '\\';
    s += c;
  }
  return s + "\"";
}

std::string trimmed(const char* text) {
  std::string s = text;
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string presetUri(int32_t program) {
  return std::string("<") + kPresetUriPrefix + std::to_string(program) + ">";
}

params::ProgramBank factoryBank() {
  params::ProgramBank bank;
  params::writeFactoryPresets(bank);
  return bank;
}

constexpr int32_t kFactoryPrograms = 8;

void writeControlPort(std::ostream& out, int32_t index, float defaultValue) {
  out << "[\n    a lv2:InputPort , lv2:ControlPort ;\n    lv2:index " << index
      << " ;\n    lv2:symbol \"" << portSymbol(index) << "\" ;\n    lv2:name "
      << quoted(trimmed(params::kParameterTable[index].name)) << " ;\n    lv2:default "
      << number(defaultValue) << " ;\n    lv2:minimum 0.0 ;\n    lv2:maximum 1.0";
  const params::SettingList settings = params::namedSettings(index);
  if (settings.count > 0) {
    out << " ;\n    lv2:portProperty " << (settings.toggled ? "lv2:toggled" : "lv2:enumeration");
    for (int32_t i = 0; i < settings.count; ++i)
      out << " ;\n    lv2:scalePoint [ rdfs:label " << quoted(settings.items[i].name)
          << " ; rdf:value " << number(settings.items[i].value) << " ]";
  }
  if (const int32_t steps = params::rangeSteps(index); steps > 0)
    out << " ;\n    pprops:rangeSteps " << steps;
  out << "\n  ]";
}

void writeOtherPort(std::ostream& out, uint32_t index, const char* type, const char* symbol,
                    const char* name) {
  out << "[\n    a " << type << " ;\n    lv2:index " << index << " ;\n    lv2:symbol \"" << symbol
      << "\" ;\n    lv2:name \"" << name << "\"";
}

}  // namespace

std::string portSymbol(int32_t parameterIndex) {
  std::string symbol;
  bool gap = false;
  for (const char* c = params::kParameterTable[parameterIndex].name; *c; ++c) {
    const unsigned char u = static_cast<unsigned char>(*c);
    if (std::isalnum(u)) {
      if (gap && !symbol.empty()) symbol += '_';
      symbol += static_cast<char>(std::tolower(u));
      gap = false;
    } else {
      gap = true;
    }
  }
  return symbol;
}

void writeManifest(std::ostream& out) {
  out << kPrefixes;
  out << "<" << kPluginUri << ">\n  a lv2:Plugin , lv2:InstrumentPlugin ;\n  lv2:binary <"
      << kBinary << "> ;\n  rdfs:seeAlso <quillstave.ttl> .\n\n";
  out << "<" << kUiUri << ">\n  a ui:X11UI ;\n  ui:binary <" << kUiBinary
      << "> ;\n  rdfs:seeAlso <quillstave.ttl> .\n";
  const params::ProgramBank bank = factoryBank();
  for (int32_t p = 0; p < kFactoryPrograms; ++p)
    out << "\n"
        << presetUri(p) << "\n  a pset:Preset ;\n  lv2:appliesTo <" << kPluginUri
        << "> ;\n  rdfs:label " << quoted(bank.programs[p].name)
        << " ;\n  rdfs:seeAlso <presets.ttl> .\n";
}

void writePlugin(std::ostream& out) {
  out << kPrefixes;
  out << "<" << kPluginUri << ">\n  a lv2:Plugin , lv2:InstrumentPlugin ;\n"
      << "  doap:name \"Quillstave\" ;\n"
      << "  doap:maintainer [ foaf:name \"quillstave.org\" ; foaf:homepage "
         "<https://quillstave.org/> ] ;\n"
      << "  lv2:minorVersion 0 ;\n  lv2:microVersion 0 ;\n"
      << "  lv2:requiredFeature urid:map ;\n  lv2:optionalFeature lv2:hardRTCapable ;\n"
      << "  lv2:extensionData state:interface ;\n  ui:ui <" << kUiUri << "> ;\n  lv2:port ";
  // A new instance starts on program 0: its values are the ports' defaults.
  const params::ProgramBank bank = factoryBank();
  for (int32_t i = 0; i < params::kNumParams; ++i) {
    writeControlPort(out, i, bank.programs[0].values[i]);
    out << " , ";
  }
  writeOtherPort(out, kMidiPort, "lv2:InputPort , atom:AtomPort", "midi_in", "MIDI In");
  out << " ;\n    atom:bufferType atom:Sequence ;\n    atom:supports midi:MidiEvent ;\n"
      << "    lv2:designation lv2:control\n  ] , ";
  writeOtherPort(out, kAudioInLeft, "lv2:InputPort , lv2:AudioPort", "in_a", "Input A");
  out << "\n  ] , ";
  writeOtherPort(out, kAudioInRight, "lv2:InputPort , lv2:AudioPort", "in_b", "Input B");
  out << "\n  ] , ";
  writeOtherPort(out, kAudioOutLeft, "lv2:OutputPort , lv2:AudioPort", "out_left", "Quillstave 1");
  out << "\n  ] , ";
  writeOtherPort(out, kAudioOutRight, "lv2:OutputPort , lv2:AudioPort", "out_right",
                 "Quillstave 2");
  out << "\n  ] .\n\n";
  out << "<" << kUiUri << ">\n  a ui:X11UI ;\n  lv2:requiredFeature ui:parent ;\n"
      << "  lv2:optionalFeature ui:resize , ui:idleInterface , ui:touch ;\n"
      << "  lv2:extensionData ui:idleInterface .\n";
}

void writePresets(std::ostream& out) {
  out << kPrefixes;
  const params::ProgramBank bank = factoryBank();
  for (int32_t p = 0; p < kFactoryPrograms; ++p) {
    out << presetUri(p) << "\n  a pset:Preset ;\n  lv2:appliesTo <" << kPluginUri
        << "> ;\n  rdfs:label " << quoted(bank.programs[p].name) << " ;\n  lv2:port ";
    for (int32_t i = 0; i < params::kNumParams; ++i)
      out << (i ? " , " : "") << "[ lv2:symbol \"" << portSymbol(i) << "\" ; pset:value "
          << number(bank.programs[p].values[i]) << " ]";
    out << " .\n\n";
  }
}

}  // namespace lv2
