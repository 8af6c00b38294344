#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

#include "editor/ResizerForEditor.h"
#include "editor/ZkWindowVisibilityWatch.h"
#include "editor/widgets/CvoLayoutManager.h"
#include "editor/widgets/CvoScreenVisibilitySource.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"

class MainEditorComponent;
class ZkOstinelAudioProcessor;

/**
    The plug-in's editor window. It owns the look and feel, the layout manager,
    the embedded font, the size constrainer, the corner resizer and the main
    editor surface, which covers the whole window.

    The window keeps width = 1.778 x height; corner drags keep its height between
    a quarter and four fifths of the main display's height (1080 pixels are
    assumed when there is no display), and so do the heights it opens with and
    re-reads from the processor, which come from a host's chunk or the
    properties file. Every resize by the user (or host) is stored in the
    processor, so that a reopened editor has its last size; opening at a limited
    height stores nothing, so a height saved on a larger screen stays for it.

    While its window cannot be seen (unmapped, also through a host window that
    is, or minimised) the refresh timers of the surface and its widgets do no
    drawing work; once it is seen again the surface runs its refresh at once
    and everything is repainted.

    Destruction: the widget registrations of the processor are cleared and the
    surface is deleted before anything else, so the audio thread never feeds a
    deleted display.

    Message thread only.
*/
class ZkOstinelAudioProcessorEditor : public juce::AudioProcessorEditor,
                                      public CvoPaintedTextSource,
                                      public CvoScreenVisibilitySource
{
public:
    static constexpr float aspectRatio = 1.778f;        // width / height
    static constexpr float minimumDisplayShare = 0.25f; // smallest height / display height
    static constexpr float maximumDisplayShare = 0.8f;  // largest height / display height
    static constexpr int fallbackDisplayHeight = 1080;  // [pixels] without a display
    static constexpr int largestUsableHeight = 16384;   // [pixels] beyond: a damaged stored value

    /** Size limits of corner drags [pixels]. */
    struct SizeLimits
    {
        int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    };

    explicit ZkOstinelAudioProcessorEditor (ZkOstinelAudioProcessor* processor);
    ~ZkOstinelAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;

    /** Draws nothing: a paint while the window counts as hidden has the window
        checked again at once. */
    void paintOverChildren (juce::Graphics& g) override;

    /** False while the window cannot be seen (see ZkWindowVisibilityWatch). */
    bool isWindowOnScreen() const override;

    /** "RESIZING", the caption of the picture shown while a corner drag hides the
        surface. */
    juce::Array<CvoFittedText> getPaintedTexts() const override;
    void resized() override;

    /** The window's look and feel (owned by the window). */
    CvoZkLookAndFeelV1* getLookAndFeel() const { return lookAndFeel.get(); }

    /** The layout manager that places the surface's controls (owned by the window). */
    CvoLayoutManager* getLayoutManager() const { return layoutManager.get(); }

    /** Re-reads the processor's editor height and resizes the window to it,
        within the size limits. The stored height stays unless it is unusable. */
    void updateEditorSize();

    MainEditorComponent* getMainComponent() const { return mainComponent.get(); }
    ResizerForEditor* getResizer() const { return resizer.get(); }
    juce::ComponentBoundsConstrainer* getConstrainer() const { return constrainer.get(); }
    ZkWindowVisibilityWatch& getVisibilityWatch() const { return *visibilityWatch; }

    /** [pixels] Height of the main display's whole area, or fallbackDisplayHeight
        when the system reports no display. */
    static int getMainDisplayHeight();

    /** The drag limits for a main display displayHeight pixels high: heights from
        a quarter to four fifths of it, widths 1.778 times those (all truncated). */
    static SizeLimits getSizeLimits (int displayHeight);

    /** [pixels] height brought within the height limits of limits. */
    static int limitHeight (int height, const SizeLimits& limits);

    /** [pixels] The window width for a height: 1.778 x height, rounded. */
    static int getWidthForHeight (int height);

private:
    /** Sizes the window to the processor's height within limits; the height is
        stored back only when the stored one is unusable. */
    void applyStoredHeight (const SizeLimits& limits);

    ZkOstinelAudioProcessor* processor;
    std::unique_ptr<CvoLayoutManager> layoutManager;
    int currentHeight = 0;             // [pixels]
    bool applyingStoredHeight = false; // a resize of the window's own, not the user's: not stored
    std::unique_ptr<juce::Font> editorFont;
    std::unique_ptr<CvoZkLookAndFeelV1> lookAndFeel;
    std::unique_ptr<juce::ComponentBoundsConstrainer> constrainer;
    std::unique_ptr<ResizerForEditor> resizer;
    std::unique_ptr<MainEditorComponent> mainComponent;
    std::unique_ptr<ZkWindowVisibilityWatch> visibilityWatch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZkOstinelAudioProcessorEditor)
};
