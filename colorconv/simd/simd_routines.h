// The MMX, SSE and SSE2 variants by their names. Each is a row kernel
// (row_kernels.h) driven by the frame walk of its shape (frame_walks.h);
// the routine catalogue defines them and lists them with the wider tiers.
#pragma once

#include "colorconv/routines.h"

namespace pellix {

extern const Planar420ToPackedRoutine Planar420ToYUY2_MMX;
extern const Planar420ToPackedRoutine Planar420ToYUY2_SSE;
extern const Planar420ToPackedRoutine Planar420ToYUY2_SSE2;
extern const Planar420ToPackedRoutine Planar420ToBGRA_MMX;
extern const ToPlanar420Routine BGRAToPlanar420_MMX;
extern const ToPlanar420Routine BGRAToPlanar420_SSE;
extern const ToPlanar420Routine YUY2ToPlanar420_MMX;
extern const ToPlanar420Routine YUY2ToPlanar420_SSE;

}  // namespace pellix
