#include "PIX_Combine.h"

namespace {
constexpr std::array<uint16_t, 256> MakeReciprocals() {
  std::array<uint16_t, 256> t{};
  for (int x = 1; x < 256; ++x) t[x] = (uint16_t)(65536 / x - 1);
  return t;
}
}  // namespace

const std::array<uint16_t, 256> ReciprocalTable = MakeReciprocals();

void CombineHsvAdjust(PixelWord* dest, int r, int g, int b, int a, int w) {
  const unsigned char* px = (const unsigned char*)dest;
  const int R = px[2], G = px[1], B = px[0];

  // Hue runs over 0-383, 64 per sixth of the circle.
  int V = R > G ? R : G;
  if (B > V) V = B;
  int lo = R < G ? R : G;
  if (B < lo) lo = B;
  const int delta = V - lo;
  int base, n;
  if (G > R && G > B) {
    base = 128;
    n = B - R;
  } else if ((G > R && B >= G) || (G <= R && B >= R)) {
    base = 256;
    n = R - G;
  } else {
    base = G < B ? 383 : 0;
    n = G - B;
  }
  int S = (ReciprocalTable[V] * delta) / 256;
  int H = base + ((ReciprocalTable[delta] + 1) * n) / 1024;

  H += ((r / 2 + r - 192) * w) / 256;
  if (H < 0)
    H += 384;
  else if (H >= 384)
    H -= 384;
  S = pix_detail::Clamp255(S + ((g - 128) * w) / 128);
  V = pix_detail::Clamp255(V + ((b - 128) * w) / 128);

  const int m = ((256 - S) * V / 256) & 0xFF;
  auto ramp = [&](int k) { return ((k * S + 16384) * V / 16384) & 0xFF; };
  int oR, oG, oB;
  if (H < 64) {
    oR = V, oG = ramp(H - 64), oB = m;
  } else if (H < 128) {
    oR = ramp(64 - H), oG = V, oB = m;
  } else if (H < 192) {
    oR = m, oG = V, oB = ramp(H - 192);
  } else if (H < 256) {
    oR = m, oG = ramp(192 - H), oB = V;
  } else if (H < 320) {
    oR = ramp(H - 320), oG = m, oB = V;
  } else {
    oR = V, oG = m, oB = ramp(320 - H);
  }
  *dest = ((PixelWord)a << 24) | ((PixelWord)oR << 16) | ((PixelWord)oG << 8) | (PixelWord)oB;
}
