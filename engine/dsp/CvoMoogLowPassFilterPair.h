#pragma once

#include "engine/dsp/CvoMoogLowPassFilter1.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ZK_LADDER_PAIR_SIMD 1
#else
#define ZK_LADDER_PAIR_SIMD 0
#endif

/**
    Two CvoMoogLowPassFilter1 (left and right channel) stepped together, one sample of
    each per call. With SSE the two states sit in the lanes of SIMD registers: the
    same single-precision operations lane by lane, so every output and state is the
    one processSingleSample gives, while the two recursions share one chain of
    instructions and the state stays in registers over a run of samples.

    Construction takes the filters' state and coefficients; finish() writes the state
    back and clears a state that is no longer finite. Between the two the filters must
    not be used otherwise. Audio thread.
*/
class CvoMoogLowPassFilterPair
{
public:
    CvoMoogLowPassFilterPair (CvoMoogLowPassFilter1& leftFilter, CvoMoogLowPassFilter1& rightFilter)
        : left (leftFilter)
        , right (rightFilter)
    {
#if ZK_LADDER_PAIR_SIMD
        // Lockstep needs both filters active and the feedback on or off on both.
        lockstep = left.active && right.active && (left.r == 0.0f) == (right.r == 0.0f);
        withFeedback = left.r != 0.0f;

        y1 = lanes (left.y1, right.y1);
        y2 = lanes (left.y2, right.y2);
        y3 = lanes (left.y3, right.y3);
        y4 = lanes (left.y4, right.y4);
        oldx = lanes (left.oldx, right.oldx);
        oldy1 = lanes (left.oldy1, right.oldy1);
        oldy2 = lanes (left.oldy2, right.oldy2);
        oldy3 = lanes (left.oldy3, right.oldy3);
        p = lanes (left.p, right.p);
        k = lanes (left.k, right.k);
        r = lanes (left.r, right.r);
        scale = lanes (left.cutoffScale, right.cutoffScale);
        gain = lanes (left.gainCompensation, right.gainCompensation);
#endif
    }

    void process (float& leftSample, float& rightSample)
    {
#if ZK_LADDER_PAIR_SIMD
        if (lockstep)
        {
            const __m128 sample = lanes (leftSample, rightSample);
            __m128 x = sample;

            if (withFeedback)
            {
                // std::clamp's order of operands, so that a NaN passes as there.
                const __m128 half = _mm_set1_ps (0.5f);
                const __m128 fb =
                    _mm_mul_ps (_mm_add_ps (_mm_mul_ps (half, y4), _mm_mul_ps (half, oldy3)), r);
                x = _mm_sub_ps (sample,
                                _mm_min_ps (_mm_set1_ps (0.81f), _mm_max_ps (_mm_set1_ps (-0.81f), fb)));
            }

            y1 = _mm_sub_ps (_mm_add_ps (_mm_mul_ps (x, p), _mm_mul_ps (oldx, p)), _mm_mul_ps (k, y1));
            y2 = _mm_sub_ps (_mm_add_ps (_mm_mul_ps (y1, p), _mm_mul_ps (oldy1, p)), _mm_mul_ps (k, y2));
            y3 = _mm_sub_ps (_mm_add_ps (_mm_mul_ps (y2, p), _mm_mul_ps (oldy2, p)), _mm_mul_ps (k, y3));
            y4 = _mm_sub_ps (_mm_add_ps (_mm_mul_ps (y3, p), _mm_mul_ps (oldy3, p)), _mm_mul_ps (k, y4));

            oldx = x;
            oldy1 = y1;
            oldy2 = y2;
            oldy3 = y3;

            const __m128 out = _mm_mul_ps (gain, _mm_mul_ps (scale, y3));
            leftSample = _mm_cvtss_f32 (out);
            rightSample = _mm_cvtss_f32 (_mm_shuffle_ps (out, out, _MM_SHUFFLE (1, 1, 1, 1)));
            return;
        }
#endif
        leftSample = left.processSingleSample (leftSample);
        rightSample = right.processSingleSample (rightSample);
    }

    void finish()
    {
#if ZK_LADDER_PAIR_SIMD
        if (lockstep)
        {
            store (y1, left.y1, right.y1);
            store (y2, left.y2, right.y2);
            store (y3, left.y3, right.y3);
            store (y4, left.y4, right.y4);
            store (oldx, left.oldx, right.oldx);
            store (oldy1, left.oldy1, right.oldy1);
            store (oldy2, left.oldy2, right.oldy2);
            store (oldy3, left.oldy3, right.oldy3);
        }
#endif
        left.clearStateIfNotFinite();
        right.clearStateIfNotFinite();
    }

private:
#if ZK_LADDER_PAIR_SIMD
    static __m128 lanes (float l, float r)
    {
        return _mm_setr_ps (l, r, 0.0f, 0.0f);
    }

    static void store (__m128 v, float& l, float& r)
    {
        alignas (16) float values[4];
        _mm_store_ps (values, v);
        l = values[0];
        r = values[1];
    }

    bool lockstep = false, withFeedback = false;
    __m128 y1, y2, y3, y4, oldx, oldy1, oldy2, oldy3;
    __m128 p, k, r, scale, gain;
#endif

    CvoMoogLowPassFilter1& left;
    CvoMoogLowPassFilter1& right;
};
