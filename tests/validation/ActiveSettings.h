// Parameter settings under which every part of the signal path works in every
// block: low-pass with resonance, drive, ping-pong echo with feedback, swing,
// a shaped envelope and a pattern A that mixes every step length class.

#pragma once

class PluginSession;

class ActiveSettings
{
public:
    static void apply (PluginSession& session);
};
