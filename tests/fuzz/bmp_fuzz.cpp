// Fuzz target: BMP decoding. Whatever the bytes, decoding reads nothing outside
// them and either gives null or a bitmap that can be drawn and deleted.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pf::HBitmap bitmap = pf::CreateBitmapFromBmp(std::span<const std::uint8_t>(data, size));
  if (!bitmap) return 0;
  pf::BitmapInfo info;
  if (pf::GetBitmapInfo(bitmap, &info) && info.width > 0 && info.height > 0) {
    pf::Surface screen(16, 16);
    pf::HDc dc = pf::CreateSurfaceDc(&screen, pf::Point{0, 0}, screen.Bounds());
    pf::HDc mem = pf::CreateCompatibleDc(dc);
    pf::HObj old = pf::SelectObject(mem, bitmap);
    pf::BitBlt(dc, -3, -3, info.width, info.height, mem, 0, 0, pf::RasterOp::SrcCopy);
    pf::SelectObject(mem, old);
    pf::DeleteDc(mem);
    pf::DeleteDc(dc);
  }
  pf::DeleteObject(bitmap);
  return 0;
}
