// The residual text the window shows, for every hidden cylinder and axis against every
// phoropter cylinder and axis, with the phoropter's sphere equal to the hidden one and a quarter
// dioptre off. One line per hidden correction: its cylinder and axis, a digest of its 7,602
// texts, and how many of them show a sphere of "-0.00", the sign of rounding noise that the
// last bits of sine, cosine and arc tangent decide. The desktop and the WebAssembly build must
// print the same lines; with each build's own C library, 358 of the 2,160 lines differed.

#include <cstdint>
#include <cstdio>
#include <string>

#include "optics/refraction.h"

int main() {
    for (int quarters = 1; quarters <= 12; ++quarters)
        for (int axis = 1; axis <= 180; ++axis) {
            const Refraction hidden{-1, -quarters / 4.0, static_cast<double>(axis)};
            uint64_t digest = 0xcbf29ce484222325u;  // FNV-1a
            int negativeZero = 0;
            for (int cylinder = 0; cylinder <= 20; ++cylinder)
                for (int lensAxis = 0; lensAxis <= 180; ++lensAxis)
                    for (double sphere : {-1.0, -0.75}) {
                        const Refraction r =
                            zanyoDosuu(hidden, {sphere, cylinder / -4.0, static_cast<double>(lensAxis)});
                        const std::string text = dosuuHyouki(r.S, r.C, r.A);
                        if (text.starts_with("Ｓ-0.00")) ++negativeZero;
                        for (unsigned char c : text) digest = (digest ^ c) * 0x100000001b3u;
                    }
            std::printf("C%g A%d %016llx %d\n", hidden.C, axis, static_cast<unsigned long long>(digest), negativeZero);
        }
    return 0;
}
