#include "ZkStep.h"

// The accessors are inline in the header: the audio thread calls them per sample.
// This unit compiles the header on its own.
