#pragma once

#include "engine/ZkOstinelAudioProcessor.h"

/**
    Test access to the processor's private processing values and run-state fields
    (the processor declares this struct a friend). Reads are single relaxed loads,
    as the audio thread would make them; the setters prepare states that otherwise
    only the audio thread produces.
*/
struct ZkOstinelAudioProcessorTestProbe
{
    explicit ZkOstinelAudioProcessorTestProbe (ZkOstinelAudioProcessor& p)
        : processor (p)
    {
    }

    bool bypass() const { return processor.bypass.load(); }
    bool muteAll() const { return processor.muteAll.load(); }
    float inputGain() const { return processor.inputGain.load(); }
    float outputGain() const { return processor.outputGain.load(); }
    float makeUpGain() const { return processor.makeUpGain.load(); }
    float mix() const { return processor.mix.load(); }
    float attack() const { return processor.attack.load(); }
    float hold() const { return processor.hold.load(); }
    float decay() const { return processor.decay.load(); }
    float sustain() const { return processor.sustain.load(); }
    float release() const { return processor.release.load(); }
    float swing() const { return processor.swing.load(); }
    float timeOffset() const { return processor.timeOffset.load(); }
    float shortStepLength() const { return processor.shortStepLength.load(); }
    float longStepLength() const { return processor.longStepLength.load(); }
    bool globalFxOff() const { return processor.globalFxOff.load(); }

    double lowpassCutoff() const { return processor.lowpassCutoff.load(); }
    double lowpassReso() const { return processor.lowpassReso.load(); }
    bool lowpassActive() const { return processor.lowpassActive.load(); }
    const CvoFoldbackDistortion& drive() const { return processor.drive; }

    bool echoActive() const { return processor.echoActive.load(); }
    bool echoPingPong() const { return processor.echoPingPong.load(); }
    float echoLevel() const { return processor.echoLevel.load(); }
    float echoFeedback() const { return processor.echoFeedback.load(); }
    float echoBeatsNormal() const { return processor.echoBeatsNormal.load(); }
    float echoBeatsTriplet() const { return processor.echoBeatsTriplet.load(); }

    bool dawTimingOffsetOn() const { return processor.dawTimingOffsetOn.load(); }
    int dawTimingOffsetInSamples() const { return processor.dawTimingOffsetInSamples.load(); }
    bool autoRunInStopMode() const { return processor.autoRunInStopMode.load(); }
    bool isRunning() const { return processor.isRunning.load(); }
    bool resync() const { return processor.resync.load(); }
    bool forceStateUpdate() const { return processor.forceStateUpdate.load(); }

    void setResync (bool on) { processor.resync = on; }
    void setLastPlaying (bool on) { processor.lastPlaying = on; }
    void setIsRunning (bool on) { processor.isRunning = on; }
    void setLastSampleRate (double rate) { processor.lastSampleRate = rate; }

    ZkOstinelAudioProcessor& processor;
};
