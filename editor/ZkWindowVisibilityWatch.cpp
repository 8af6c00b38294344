#include "editor/ZkWindowVisibilityWatch.h"

ZkWindowVisibilityWatch::ZkWindowVisibilityWatch (juce::Component& windowToWatch,
                                                  std::function<void()> shownAgainCallback)
    : window (windowToWatch)
    , shownAgain (std::move (shownAgainCallback))
{
    startTimer (checkIntervalMs);
}

ZkWindowVisibilityWatch::~ZkWindowVisibilityWatch()
{
    stopTimer();
    cancelPendingUpdate();
}

void ZkWindowVisibilityWatch::check()
{
    const bool viewable = question != nullptr ? question() : windowSystem.isViewable (window);

    if (viewable == shown)
        return;

    shown = viewable;

    if (shown && shownAgain != nullptr)
        shownAgain();
}

void ZkWindowVisibilityWatch::windowPainted()
{
    if (!shown)
        triggerAsyncUpdate();
}

void ZkWindowVisibilityWatch::setQuestion (Question questionToAsk)
{
    question = std::move (questionToAsk);
}

void ZkWindowVisibilityWatch::timerCallback()
{
    check();
}

void ZkWindowVisibilityWatch::handleAsyncUpdate()
{
    check();
}
