// A GDI+ bitmap over memory the program keeps for the next picture, instead of memory GDI+ takes
// and gives up with each picture. Deleting the bitmap (through any Image pointer) gives the memory
// back; nothing else may free it. Disposing of a bitmap reads none of its pixels, so the memory
// may be handed on before the base class disposes of it.
#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstddef>

class KeptBitmap : public Gdiplus::Bitmap {
 public:
  using GiveBack = void (*)(void* memory, size_t capacity);
  KeptBitmap(int width, int height, int stride, Gdiplus::PixelFormat format, void* memory, size_t capacity,
             GiveBack giveBack)
      : Gdiplus::Bitmap(width, height, stride, format, static_cast<BYTE*>(memory)),
        memory_(memory),
        capacity_(capacity),
        giveBack_(giveBack) {}
  ~KeptBitmap() override { giveBack_(memory_, capacity_); }
  KeptBitmap(const KeptBitmap&) = delete;
  KeptBitmap& operator=(const KeptBitmap&) = delete;

 private:
  void* memory_;
  size_t capacity_;
  GiveBack giveBack_;
};
