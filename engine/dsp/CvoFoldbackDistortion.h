#pragma once

#include "engine/dsp/CvoDistortion.h"

/**
    Fold-back drive: the driven sample is folded back at +-1 (a triangle of period 4)
    instead of being clipped.
*/
class CvoFoldbackDistortion : public CvoDistortion
{
public:
    /** Audio thread. */
    float processSingleSample (float sample) override;

    /** processSingleSample on n samples in place, with the gains and the switch read
        once for the run. Audio thread. */
    void processSamples (float* samples, int n);
};

/**
    Folds s back at 1.0: |s| above 1 is reflected at 1, a result below 0 is folded
    again, and the result carries the sign of s. So 0.5 gives 0.5, 1.5 gives 0.5,
    2.5 gives -0.5, 3.5 gives -0.5, and the shape is an odd triangle of period 4.

    Computed in closed form (no recursion); a non-finite sample gives 0.
*/
float clipFoldback (float s);
