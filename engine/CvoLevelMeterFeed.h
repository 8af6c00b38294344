#pragma once

/**
    What the audio thread feeds into one of the editor's stereo level meters.
    The meter implements it; the processor holds registered, non-owning
    pointers (see ZkOstinelAudioProcessor::setInputVuMeter and setOutputVuMeter).

    Called on the audio thread; must neither allocate nor block.
*/
class CvoLevelMeterFeed
{
public:
    virtual ~CvoLevelMeterFeed() = default;

    /** Rectified sample levels [0..] of the left and right channel. */
    virtual void pushLeftSample (float level) = 0;
    virtual void pushRightSample (float level) = 0;
};
