#pragma once

/**
    A processor that tells whether it took a state block the host handed it, so
    that the host hears of a refused chunk instead of a success. The VST
    wrapper asks a processor for this face and answers effSetChunk with it.
*/
class ZkHostStateReceiver
{
public:
    virtual ~ZkHostStateReceiver() = default;

    /** Restores the state held by the block. False when the block was refused:
        then nothing changed. A host thread. */
    virtual bool restoreHostState (const void* data, int sizeInBytes) = 0;
};
