// The host's index-based parameter write for tests and benchmarks: the call a
// VST 2.4 host makes (through the wrapper), which JUCE 7 marks deprecated. The
// warning is silenced here only.

#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace HostParameterCall
{
/** Writes a normalised value [0..1] to the parameter at index, as a host does. */
inline void set (juce::AudioProcessor& processor, int index, float value)
{
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    processor.setParameter (index, value);
#if JUCE_GCC || JUCE_CLANG
#pragma GCC diagnostic pop
#endif
}
} // namespace HostParameterCall
