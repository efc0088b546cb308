#include "framework/window/gdi/MemContext.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/window/gdi/detail/FaceCache.h"
#include "framework/window/gdi/detail/GdiContext.h"
#include "framework/window/gdi/detail/GdiFont.h"

namespace {

constexpr int kRowAlignPixels = 4;
constexpr size_t kBufferAlignBytes = 64;

}  // namespace

HDC SWELL_CreateMemContext(HDC /*reference*/, int width, int height) {
  if (width < 1 || height < 1) return nullptr;
  const long long span = (static_cast<long long>(width) + kRowAlignPixels - 1) &
                         ~static_cast<long long>(kRowAlignPixels - 1);
  // Pixel offsets are computed in int by the drawing code above this layer.
  if (span > INT_MAX / 4 / height) return nullptr;
  const long long bytes = span * height * 4;

  HDC ctx = new (std::nothrow) HDC__;
  if (!ctx) return nullptr;
  const size_t allocated =
      (static_cast<size_t>(bytes) + kBufferAlignBytes - 1) & ~(kBufferAlignBytes - 1);
  void* bits = std::aligned_alloc(kBufferAlignBytes, allocated);
  if (!bits) {
    delete ctx;
    return nullptr;
  }
  memset(bits, 0, allocated);
  ctx->width = width;
  ctx->height = height;
  ctx->rowSpan = static_cast<int>(span);
  ctx->bits = static_cast<uint32_t*>(bits);
  return ctx;
}

void* SWELL_GetCtxFrameBuffer(HDC ctx) {
  return ctx ? ctx->bits : nullptr;
}

void SWELL_DeleteGfxContext(HDC ctx) {
  if (!ctx) return;
  if (ctx->font) {
    WDL_MutexLock lock(&gdi_detail::GdiLock());
    gdi_detail::ReleaseFont(ctx->font);
  }
  std::free(ctx->bits);
  delete ctx;
}
