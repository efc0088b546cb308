#include "framework/window/gdi/detail/FaceCache.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <map>
#include <string>

#include "framework/window/gdi/Fonts.h"
#include "framework/window/gdi/detail/PrivateFaces.h"

namespace gdi_detail {

namespace {

struct Registry {
  FT_Library library = nullptr;
  bool libraryFailed = false;
  std::map<std::string, FT_Face> files;        // by "index:path"
  std::map<std::string, CachedFace> requests;  // by the request's fields
};

// Never destroyed: fonts may outlive static destruction (a static font in a
// plug-in), and the faces must stay valid for them.
Registry& registry() {
  static Registry* r = new Registry;
  return *r;
}

// The kind of face to fall back on when the named one is missing. Faces the
// Mac always has are mapped to their kind; others follow pitch and family.
const char* substituteFamily(const char* family, int pitchAndFamily) {
  static const struct {
    const char* face;
    const char* kind;
  } kKnown[] = {
      {"Monaco", "monospace"},          {"Menlo", "monospace"},       {"Courier", "monospace"},
      {"Courier New", "monospace"},     {"Andale Mono", "monospace"}, {"Helvetica", "sans-serif"},
      {"Helvetica Neue", "sans-serif"}, {"Arial", "sans-serif"},      {"Geneva", "sans-serif"},
      {"Lucida Grande", "sans-serif"},  {"Verdana", "sans-serif"},    {"Times", "serif"},
      {"Times New Roman", "serif"},     {"Georgia", "serif"},
  };
  for (const auto& k : kKnown) {
    if (!strcasecmp(family, k.face)) return k.kind;
  }
  if ((pitchAndFamily & 3) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN) {
    return "monospace";
  }
  return (pitchAndFamily & 0xF0) == FF_ROMAN ? "serif" : "sans-serif";
}

FT_Face openFile(Registry& r, const char* path, int index) {
  const std::string key = std::to_string(index) + ":" + path;
  auto found = r.files.find(key);
  if (found != r.files.end()) return found->second;
  FT_Face face = nullptr;
  if (FT_New_Face(r.library, path, index, &face) != 0) face = nullptr;
  // Only scalable faces can serve any requested size.
  if (face && !FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    face = nullptr;
  }
  r.files[key] = face;
  return face;
}

// The machine's choice, through the process's fontconfig configuration.
FcPattern* matchInstalled(const char* family, const char* kind, int weight, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kind));
  FcPatternAddInteger(pattern, FC_WEIGHT, weight);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult status = FcResultNoMatch;
  FcPattern* best = FcFontMatch(nullptr, pattern, &status);
  FcPatternDestroy(pattern);
  return best;
}

CachedFace match(Registry& r, const char* family, int weight, bool italic, int pitchAndFamily) {
  CachedFace result;
  const char* kind = substituteFamily(family, pitchAndFamily);
  const int fcWeight = FcWeightFromOpenType(weight);
  FcPattern* best = MatchPrivateFace(family, kind, fcWeight, italic);
  if (!best) best = matchInstalled(family, kind, fcWeight, italic);
  if (!best) return result;

  FcChar8* path = nullptr;
  int index = 0, slant = FC_SLANT_ROMAN, bestWeight = FC_WEIGHT_REGULAR;
  FcBool embolden = FcFalse;
  if (FcPatternGetString(best, FC_FILE, 0, &path) == FcResultMatch) {
    FcPatternGetInteger(best, FC_INDEX, 0, &index);
    FcPatternGetInteger(best, FC_SLANT, 0, &slant);
    FcPatternGetInteger(best, FC_WEIGHT, 0, &bestWeight);
    FcPatternGetBool(best, FC_EMBOLDEN, 0, &embolden);
    result.face = openFile(r, reinterpret_cast<const char*>(path), index);
    // The private configuration has no synthesis rules; this is the
    // machine's usual one, for a bold request met by a regular face.
    result.embolden =
        embolden == FcTrue || (fcWeight >= FC_WEIGHT_BOLD && bestWeight <= FC_WEIGHT_MEDIUM);
    result.oblique = italic && slant == FC_SLANT_ROMAN;
  }
  FcPatternDestroy(best);
  return result;
}

}  // namespace

WDL_Mutex& GdiLock() {
  static WDL_Mutex* lock = new WDL_Mutex;
  return *lock;
}

FT_Library Library() {
  Registry& r = registry();
  if (!r.library && !r.libraryFailed) r.libraryFailed = FT_Init_FreeType(&r.library) != 0;
  return r.library;
}

const CachedFace* FindFace(const char* family, int weight, bool italic, int pitchAndFamily) {
  Registry& r = registry();
  if (!Library()) return nullptr;

  // Requests made before fonts were added keep their faces, which fonts
  // already made point at; later requests look again.
  const std::string key = std::string(family) + "\n" + std::to_string(weight) + "\n" +
                          (italic ? "i" : "r") + std::to_string(pitchAndFamily) + "\n" +
                          std::to_string(PrivateFacesGeneration());
  auto found = r.requests.find(key);
  if (found == r.requests.end()) {
    found = r.requests.emplace(key, match(r, family, weight, italic, pitchAndFamily)).first;
  }
  return found->second.face ? &found->second : nullptr;
}

}  // namespace gdi_detail
