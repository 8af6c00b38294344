#pragma once

/**
    What the audio thread feeds into the editor's beat-synced waveform display.
    The display implements it; the processor holds a registered, non-owning
    pointer (see ZkOstinelAudioProcessor::setWaveDisplay).

    Every operation is called on the audio thread and must neither allocate nor
    block.
*/
class CvoWaveDisplayFeed
{
public:
    virtual ~CvoWaveDisplayFeed() = default;

    /** One rectified sample level [0..]. */
    virtual void pushSample (float level) = 0;

    /** Starts a new beat. */
    virtual void restart() = 0;

    virtual void setSamplesPerBeat (float samplesPerBeat) = 0;
    virtual void setIsRunningState (bool isRunning) = 0;
};
