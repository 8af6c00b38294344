#pragma once

#include "editor/ZkWindowVisibility.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/**
    Follows whether a window can be seen: asks the window system a few times a
    second, and at once when the window paints while it counts as hidden (a
    window shown again is exposed and painted before the next question would
    come). When the window is seen again after it was not, it calls
    `shownAgain`, so that its owner can bring everything up to date at once.

    The question is replaceable (tests answer it themselves); by default the
    window system answers it (ZkWindowVisibility).

    Message thread only.
*/
class ZkWindowVisibilityWatch : private juce::Timer, private juce::AsyncUpdater
{
public:
    /** [ms] Between two questions to the window system. */
    static constexpr int checkIntervalMs = 250;

    using Question = std::function<bool()>;

    /** window: the window to follow (not owned; it outlives the watch).
        shownAgain: called when the window becomes viewable again. */
    ZkWindowVisibilityWatch (juce::Component& window, std::function<void()> shownAgain);
    ~ZkWindowVisibilityWatch() override;

    /** False from the check that found the window hidden until the check that
        finds it viewable again. True at first. */
    bool isShown() const noexcept { return shown; }

    /** Asks now; calls shownAgain when the window has become viewable again. */
    void check();

    /** The window painted: while it counts as hidden this asks again soon
        (asynchronously: never from inside the paint). */
    void windowPainted();

    /** Replaces the question (null: the window system answers again). */
    void setQuestion (Question questionToAsk);

private:
    void timerCallback() override;
    void handleAsyncUpdate() override;

    juce::Component& window;
    std::function<void()> shownAgain;
    ZkWindowVisibility windowSystem;
    Question question;
    bool shown = true;
};
