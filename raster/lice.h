#pragma once

// The raster library in one include.

#include "raster/LICE_CachedFont.h"
#include "raster/LICE_IBitmap.h"
#include "raster/LICE_IFont.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"
#include "raster/lice_blend_mode.h"
#include "raster/lice_blit.h"
#include "raster/lice_blur.h"
#include "raster/lice_circle.h"
#include "raster/lice_combine.h"
#include "raster/lice_fill.h"
#include "raster/lice_hsv.h"
#include "raster/lice_image_loader.h"
#include "raster/lice_line.h"
#include "raster/lice_pixel.h"
#include "raster/lice_png.h"
#include "raster/lice_polygon.h"
#include "raster/lice_rotated_blit.h"
#include "raster/lice_round_rect.h"
#include "raster/lice_scaled_blit.h"
