#include "framework/window/gdi/detail/PrivateFaces.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace gdi_detail {

namespace {

struct PrivateSet {
  FcConfig* config = nullptr;
  std::set<std::string> faces;                             // by "index:path"
  std::map<std::string, std::vector<std::string>> byKind;  // families, in the order added
  unsigned generation = 0;
};

// Never destroyed, like the faces it hands out.
PrivateSet& privateSet() {
  static PrivateSet* s = new PrivateSet;
  return *s;
}

// Without the machine's aliases to say which family is sans-serif, the face
// says so itself: its fixed pitch, and the serif style of its PANOSE
// classification (Latin text faces only).
const char* kindOf(FT_Library library, const char* file, int index, const FcPattern* font) {
  int spacing = FC_PROPORTIONAL;
  if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch &&
      (spacing == FC_MONO || spacing == FC_CHARCELL)) {
    return "monospace";
  }
  FT_Face face = nullptr;
  if (FT_New_Face(library, file, index & 0xFFFF, &face) != 0) return nullptr;
  const char* kind = nullptr;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->panose[0] == 2) {
    const int serifStyle = os2->panose[1];
    if (serifStyle >= 11 && serifStyle <= 13) {
      kind = "sans-serif";
    } else if (serifStyle >= 2 && serifStyle <= 10) {
      kind = "serif";
    }
  }
  FT_Done_Face(face);
  return kind;
}

std::vector<std::string> filesAt(const char* path) {
  std::vector<std::string> files;
  struct stat st;
  if (stat(path, &st) != 0) return files;
  if (S_ISREG(st.st_mode)) {
    files.emplace_back(path);
  } else if (S_ISDIR(st.st_mode)) {
    if (DIR* dir = opendir(path)) {
      while (const dirent* entry = readdir(dir)) {
        const std::string file = std::string(path) + "/" + entry->d_name;
        if (entry->d_name[0] != '.' && stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
          files.push_back(file);
        }
      }
      closedir(dir);
    }
    // The first face of a kind serves that kind: which one must not depend
    // on the order the file system lists them in.
    std::sort(files.begin(), files.end());
  }
  return files;
}

int addFile(FT_Library library, PrivateSet& s, const std::string& file) {
  FcFontSet* found = FcFontSetCreate();
  if (!found) return 0;
  const auto* name = reinterpret_cast<const FcChar8*>(file.c_str());
  FcFreeTypeQueryAll(name, -1, nullptr, nullptr, found);
  // The scalable faces of the file not added before.
  std::vector<const FcPattern*> fresh;
  for (int i = 0; i < found->nfont; ++i) {
    int index = 0;
    FcBool scalable = FcFalse;
    FcChar8* family = nullptr;
    FcPatternGetInteger(found->fonts[i], FC_INDEX, 0, &index);
    FcPatternGetBool(found->fonts[i], FC_SCALABLE, 0, &scalable);
    if (scalable && FcPatternGetString(found->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch &&
        !s.faces.count(std::to_string(index) + ":" + file)) {
      fresh.push_back(found->fonts[i]);
    }
  }
  if (!fresh.empty() && FcConfigAppFontAddFile(s.config, name)) {
    for (const FcPattern* font : fresh) {
      int index = 0;
      FcChar8* family = nullptr;
      FcPatternGetInteger(font, FC_INDEX, 0, &index);
      FcPatternGetString(font, FC_FAMILY, 0, &family);
      s.faces.insert(std::to_string(index) + ":" + file);
      if (const char* kind = kindOf(library, file.c_str(), index, font)) {
        auto& families = s.byKind[kind];
        const std::string f(reinterpret_cast<const char*>(family));
        if (std::find(families.begin(), families.end(), f) == families.end()) families.push_back(f);
      }
    }
  } else {
    fresh.clear();
  }
  FcFontSetDestroy(found);
  return static_cast<int>(fresh.size());
}

bool hasFamily(const FcPattern* font, const std::vector<std::string>& families) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    for (const auto& f : families) {
      if (!strcasecmp(f.c_str(), reinterpret_cast<const char*>(name))) return true;
    }
  }
  return false;
}

}  // namespace

int AddPrivateFaces(FT_Library library, const char* path) {
  if (!path) return 0;
  PrivateSet& s = privateSet();
  if (!s.config && !(s.config = FcConfigCreate())) return 0;
  int added = 0;
  for (const auto& file : filesAt(path))
    added += addFile(library, s, file);
  if (added) ++s.generation;
  return added;
}

FcPattern* MatchPrivateFace(const char* family, const char* kind, int weight, bool italic) {
  PrivateSet& s = privateSet();
  if (s.faces.empty()) return nullptr;
  std::vector<std::string> families{family};
  const auto ofKind = s.byKind.find(kind);
  if (ofKind != s.byKind.end()) {
    families.insert(families.end(), ofKind->second.begin(), ofKind->second.end());
  }
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  for (const auto& f : families) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(f.c_str()));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, weight);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcDefaultSubstitute(pattern);
  FcResult status = FcResultNoMatch;
  FcPattern* best = FcFontMatch(s.config, pattern, &status);
  FcPatternDestroy(pattern);
  // Fontconfig always offers something; a face of another family is the
  // system's to choose.
  if (best && !hasFamily(best, families)) {
    FcPatternDestroy(best);
    best = nullptr;
  }
  return best;
}

unsigned PrivateFacesGeneration() {
  return privateSet().generation;
}

}  // namespace gdi_detail
