#include "framework/lv2/LV2Turtle.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/lv2/IPlugLV2.h"
#include "framework/plugin/Base64.h"

namespace {
const char kPrefixes[] =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";

// The shortest decimal that reads back as the same single-precision value,
// which is what a control port holds. Always in the C locale's form.
std::string Number(double value) {
  char text[32];
  for (int digits = 1; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (static_cast<float>(std::strtod(text, nullptr)) == static_cast<float>(value)) break;
  }
  std::string number(text);
  // A Turtle integer is fine for whole numbers, but "1e+01" needs a mantissa
  // with a point to stay a decimal for every reader.
  if (number.find_first_of(".e") == std::string::npos) return number;
  if (number.find('e') != std::string::npos && number.find('.') == std::string::npos) {
    number.insert(number.find('e'), ".0");
  }
  return number;
}

std::string Quoted(const char* text) {
  std::string quoted = "\"";
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\') quoted += '\\';
    quoted += *c;
  }
  return quoted + "\"";
}

std::string Base64Of(const ByteChunk& chunk) {
  std::string text(static_cast<size_t>(base64encodedsize(chunk.Size())), '\0');
  const int written = base64encode(chunk.GetBytes(), &text[0], chunk.Size());
  text.resize(static_cast<size_t>(written));
  return text;
}

std::string AudioPort(const char* direction, int index, const char* symbol, const char* name) {
  return std::string("[\n        a lv2:") + direction +
         "Port, lv2:AudioPort ;\n        lv2:index " + std::to_string(index) +
         " ;\n        lv2:symbol " + Quoted(symbol) + " ;\n        lv2:name " + Quoted(name) +
         " ;\n    ]";
}
}  // namespace

std::string LV2Turtle::Symbol(const char* name) {
  std::string symbol;
  for (const char* c = name; *c; ++c) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    symbol += (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') ? lower : '_';
  }
  if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9')) symbol.insert(0, "_");
  return symbol;
}

bool LV2Turtle::Offers(int layoutIdx) const {
  const int n = kLV2Layouts[layoutIdx].mChannels;
  return mPlug.LegalIO(n, n);
}

std::string LV2Turtle::URI(const char* suffix) const {
  return std::string("<") + mIdentity.mURI + ":" + suffix + ">";
}

std::string LV2Turtle::PluginsItAppliesTo() const {
  std::string list;
  for (int i = 0; i < kNumLV2Layouts; ++i) {
    if (!Offers(i)) continue;
    if (!list.empty()) list += ", ";
    list += URI(kLV2Layouts[i].mName);
  }
  return list;
}

std::string LV2Turtle::Manifest() const {
  std::string ttl = kPrefixes;
  const std::string binary = std::string("<") + mIdentity.mBinary + ">";
  const std::string plugins = std::string("<") + kPluginsFile + ">";
  for (int i = 0; i < kNumLV2Layouts; ++i) {
    if (!Offers(i)) continue;
    ttl += URI(kLV2Layouts[i].mName) + "\n    a lv2:Plugin ;\n    lv2:binary " + binary +
           " ;\n    rdfs:seeAlso " + plugins + " .\n\n";
  }
  ttl += URI("ui") + "\n    a ui:X11UI ;\n    ui:binary <" + mIdentity.mUIBinary +
         "> ;\n    rdfs:seeAlso " + plugins + " .\n";
  for (int i = 0; i < mPlug.NPresets(); ++i) {
    if (mPlug.PresetRepeats(i)) continue;
    ttl += "\n" + URI(("preset:" + std::to_string(i + 1)).c_str()) +
           "\n    a pset:Preset ;\n    lv2:appliesTo " + PluginsItAppliesTo() +
           " ;\n    rdfs:seeAlso <" + kPresetsFile + "> .\n";
  }
  return ttl;
}

// The values the plug-in names become scale points; when it names them all,
// the host offers no others.
std::string LV2Turtle::IntegerProperties(int paramIdx) const {
  const IParam* param = mPlug.GetParam(paramIdx);
  const int min = static_cast<int>(param->GetMin());
  const int max = static_cast<int>(param->GetMax());
  std::string points;
  int named = 0;
  for (int value = min; value <= max; ++value) {
    const std::string name = mPlug.ValueName(paramIdx, value);
    if (name.empty()) continue;
    points += std::string(named++ ? " ,\n            " : " ;\n        lv2:scalePoint ") +
              "[ rdfs:label " + Quoted(name.c_str()) + " ; rdf:value " + Number(value) + " ]";
  }
  const bool enumeration = named > 0 && named == max - min + 1;
  return std::string(" ;\n        lv2:portProperty lv2:integer") +
         (enumeration ? ", lv2:enumeration" : "") + points;
}

std::string LV2Turtle::ControlPorts() const {
  std::string ports;
  for (int i = 0; i < mPlug.NParams(); ++i) {
    const IParam* param = mPlug.GetParam(i);
    ports += "[\n        a lv2:InputPort, lv2:ControlPort ;\n        lv2:index " +
             std::to_string(i) + " ;\n        lv2:symbol " +
             Quoted(Symbol(param->GetNameForHost()).c_str()) + " ;\n        lv2:name " +
             Quoted(param->GetNameForHost()) + " ;\n        lv2:default " +
             Number(param->GetDefault()) + " ;\n        lv2:minimum " + Number(param->GetMin()) +
             " ;\n        lv2:maximum " + Number(param->GetMax());
    if (param->Type() != IParam::kTypeDouble) ports += IntegerProperties(i);
    ports += " ;\n    ] , ";
  }
  for (int i = 0; i < mPlug.NDisplayOutputs(); ++i) {
    const IDisplayOutput output = mPlug.GetDisplayOutput(i);
    ports += "[\n        a lv2:OutputPort, lv2:ControlPort ;\n        lv2:index " +
             std::to_string(mPlug.FirstDisplayPort() + i) + " ;\n        lv2:symbol " +
             Quoted(output.mSymbol) + " ;\n        lv2:name " + Quoted(output.mName) +
             " ;\n        lv2:minimum " + Number(output.mMin) + " ;\n        lv2:maximum " +
             Number(output.mMax) + " ;\n    ] , ";
  }
  return ports;
}

std::string LV2Turtle::Plugin(int layoutIdx) const {
  const LV2Layout& layout = kLV2Layouts[layoutIdx];
  const int version = mPlug.GetEffectVersion(false);
  const int major = (version >> 16) & 0xffff;
  const int minor = (version >> 8) & 0xff;
  const int patch = version & 0xff;
  std::string name = mPlug.GetEffectName();
  if (layoutIdx > 0) name += std::string(" (") + layout.mName + ")";

  std::string ttl = URI(layout.mName) + "\n    a lv2:Plugin, lv2:PhaserPlugin ;\n    doap:name " +
                    Quoted(name.c_str()) + " ;\n    doap:license <" + mIdentity.mLicense +
                    "> ;\n    lv2:project <" + mIdentity.mURI + "> ;\n";
  // LV2 reads an odd version, or minor version 0, as a development build:
  // every release maps to an even pair that grows with it.
  ttl += "    lv2:minorVersion " + std::to_string(2 * (100 * major + minor)) +
         " ;\n    lv2:microVersion " + std::to_string(2 * patch) + " ;\n";
  ttl +=
      "    lv2:optionalFeature lv2:hardRTCapable, urid:map ;\n"
      "    lv2:extensionData state:interface ;\n"
      "    ui:ui " +
      URI("ui") + " ;\n    lv2:port " + ControlPorts();

  const int firstIn = mPlug.FirstAudioInPort();
  const int n = layout.mChannels;
  if (n == 1) {
    ttl += AudioPort("Input", firstIn, "in", "In") + " , " +
           AudioPort("Output", firstIn + 1, "out", "Out");
  } else {
    const char* const sides[2][2] = {{"l", "Left"}, {"r", "Right"}};
    for (int c = 0; c < n; ++c) {
      ttl += AudioPort("Input", firstIn + c, (std::string("in_") + sides[c][0]).c_str(),
                       (std::string(sides[c][1]) + " In").c_str()) +
             " , ";
    }
    for (int c = 0; c < n; ++c) {
      ttl += AudioPort("Output", firstIn + n + c, (std::string("out_") + sides[c][0]).c_str(),
                       (std::string(sides[c][1]) + " Out").c_str());
      if (c + 1 < n) ttl += " , ";
    }
  }
  // The host's bypass, the effect's own click-free one, after the layout's
  // audio ports (the plug-in here has no layout of its own).
  ttl += " , [\n        a lv2:InputPort, lv2:ControlPort ;\n        lv2:index " +
         std::to_string(firstIn + 2 * n) +
         " ;\n        lv2:symbol \"enabled\" ;\n        lv2:name \"Enabled\" ;\n"
         "        lv2:default 1 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1 ;\n"
         "        lv2:designation lv2:enabled ;\n        lv2:portProperty lv2:toggled ;\n    ]";
  return ttl + " .\n\n";
}

std::string LV2Turtle::Plugins() const {
  // Hosts show the project's maintainer as the plug-ins' maker.
  std::string ttl = std::string(kPrefixes) + "<" + mIdentity.mURI +
                    ">\n    a doap:Project ;\n    doap:name " + Quoted(mPlug.GetEffectName()) +
                    " ;\n    doap:license <" + mIdentity.mLicense +
                    "> ;\n    doap:maintainer [ a foaf:Organization ; foaf:name " +
                    Quoted(mPlug.GetMfrName()) + " ] .\n\n";
  for (int i = 0; i < kNumLV2Layouts; ++i) {
    if (Offers(i)) ttl += Plugin(i);
  }
  ttl += URI("state") +
         "\n    a rdf:Property ;\n"
         "    rdfs:label \"settings\" ;\n"
         "    rdfs:comment \"Every parameter's value, as the saved state holds them.\" .\n\n";
  // The host calls idle and may ask for a window of the UI's own; the
  // display outputs reach it as port events.
  ttl += URI("ui") +
         "\n    a ui:X11UI ;\n"
         "    lv2:requiredFeature ui:idleInterface ;\n"
         "    lv2:optionalFeature ui:parent, ui:resize, ui:touch ;\n"
         "    lv2:extensionData ui:idleInterface, ui:showInterface";
  for (int i = 0; i < kNumLV2Layouts; ++i) {
    if (!Offers(i)) continue;
    for (int d = 0; d < mPlug.NDisplayOutputs(); ++d) {
      ttl += " ;\n    ui:portNotification [ ui:plugin " + URI(kLV2Layouts[i].mName) +
             " ; lv2:symbol " + Quoted(mPlug.GetDisplayOutput(d).mSymbol) +
             " ; ui:protocol ui:floatProtocol ]";
    }
  }
  return ttl + " .\n";
}

std::string LV2Turtle::Presets() {
  std::string ttl = kPrefixes;
  for (int p = 0; p < mPlug.NPresets(); ++p) {
    if (mPlug.PresetRepeats(p)) continue;
    mPlug.RestorePreset(p);
    ttl += URI(("preset:" + std::to_string(p + 1)).c_str()) +
           "\n    a pset:Preset ;\n    lv2:appliesTo " + PluginsItAppliesTo() +
           " ;\n    rdfs:label " + Quoted(mPlug.GetPresetName(p)) + " ;\n    lv2:port ";
    for (int i = 0; i < mPlug.NParams(); ++i) {
      const IParam* param = mPlug.GetParam(i);
      ttl += "[ lv2:symbol " + Quoted(Symbol(param->GetNameForHost()).c_str()) + " ; pset:value " +
             Number(param->Value()) + " ]";
      ttl += i + 1 < mPlug.NParams() ? " ,\n        " : " ;\n";
    }
    // Port values are single precision; the chunk restores the preset's
    // exact settings in hosts that restore state.
    ByteChunk chunk;
    mPlug.SerializeState(&chunk);
    ttl += "    state:state [ " + URI("state") + " \"" + Base64Of(chunk) +
           "\"^^xsd:base64Binary ] .\n\n";
  }
  return ttl;
}
