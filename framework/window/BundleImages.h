#pragma once

#include "framework/base/WDL_String.h"
#include "raster/LICE_IBitmap.h"

// Images in the plug-in bundle's resources, found by base name: the window
// layer owns the bundle lookup so that the raster library knows nothing of
// bundles.

// [any thread] The PNG file "Contents/Resources/<name>" of the main bundle,
// decoded by LICE_LoadPNG into `bitmap` or a new bitmap; null for names
// longer than 400 bytes, without a main bundle, or when the file does not
// load.
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bitmap = nullptr);

// The images of one plug-in bundle, found the way the window layer finds
// them: a file name such as "resources/img/knob.png" is reduced to its base
// name and loaded as the bundle's resource "knob" of type "png".
class BundleImages {
 public:
  // The plug-in's bundle identifier; empty (the default) means the main
  // bundle. [UI thread]
  void SetBundleID(const char* bundleID) { mBundleID.Set(bundleID ? bundleID : ""); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  // A folder to find the images in instead of a bundle's resources, for
  // hosts that name the plug-in's bundle by its path; empty (the default)
  // means the bundle. [UI thread]
  void SetFolder(const char* folder) { mFolder.Set(folder ? folder : ""); }

  // [any thread] A new LICE_PNGBitmap, whose pixels are decoded when first
  // drawn; null for a null name, a name whose extension is not "png" in any
  // case, a bundle that is not there or an image whose header does not
  // load. In a folder the file is "<folder>/<name>.png".
  LICE_IBitmap* Load(const char* fileName) const;

 private:
  WDL_String mBundleID;
  WDL_String mFolder;
};
