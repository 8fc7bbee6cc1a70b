// ComVariant, the guard the WMI service reads properties into: what a COM call left in it is
// freed exactly once, however the guard's scope ends.
#include "platform/win32/com_variant.h"

#include <gtest/gtest.h>

namespace {

// An interface that counts how often it is released; VariantClear releases a VT_UNKNOWN.
class Counted final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(++released); }
  int released = 0;
};

void Fill(ComVariant& v, Counted& held) {
  VARIANT* out = v.Put();
  out->vt = VT_UNKNOWN;
  out->punkVal = &held;
}

TEST(WmiComVariant, ReleasesWhatItHoldsOnceOnEveryPathOut) {
  Counted atEnd, onThrow, refilled;
  {
    ComVariant v;
    Fill(v, atEnd);
  }
  EXPECT_THROW(
      {
        ComVariant v;
        Fill(v, onThrow);
        throw 1;  // an early exit
      },
      int);
  {
    ComVariant v;
    Fill(v, refilled);
    v.Put();  // handed to the next call: the earlier content goes first
    EXPECT_EQ(refilled.released, 1);
    EXPECT_EQ(v.Get().vt, VT_EMPTY);
  }
  EXPECT_EQ(atEnd.released, 1);
  EXPECT_EQ(onThrow.released, 1);
  EXPECT_EQ(refilled.released, 1);  // not again when the emptied guard goes
}

}  // namespace
