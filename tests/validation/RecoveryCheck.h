// After bad values: once it gets valid ones again, an instance works as a
// fresh one. Both instances get the same valid history: the stream set up
// again, a valid state chunk with every block active, a flush of the echo lines
// (one line length of silence with the echo off, which writes zeros), a restart
// and then the test input. What an instance kept from its bad values (a filter
// state that is no number, a stuck envelope, a clock that lost its tempo) shows
// as a difference larger than the output noise.

#pragma once

class PluginSession;

class RecoveryCheck
{
public:
    // Adds a test failure when the used instance differs from a fresh one.
    static void expectWorksAsFresh (PluginSession& used);
};
