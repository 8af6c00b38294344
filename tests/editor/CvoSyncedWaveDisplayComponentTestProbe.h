#pragma once

#include "editor/widgets/CvoSyncedWaveDisplayComponent.h"

/** Test access to the waveform display's shared state, read as the message
    thread's painting reads it (the display declares this struct a friend). */
struct CvoSyncedWaveDisplayComponentTestProbe
{
    explicit CvoSyncedWaveDisplayComponentTestProbe (CvoSyncedWaveDisplayComponent& d)
        : display (d)
    {
    }

    bool bufferReady() const { return display.bufferReady.load(); }
    int numColumns() const { return display.waveBufferLength.load(); }
    int writeIndex() const { return display.writeIndex.load(); }
    float samplesPerPixel() const { return display.samplesPerPixel.load(); }
    float column (int index) const { return display.readColumn (index, display.bufferGeneration.load()); }

    CvoSyncedWaveDisplayComponent& display;
};
