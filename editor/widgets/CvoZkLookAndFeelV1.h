#pragma once

#include "CvoFittedText.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    The editor's flat look: buttons, toggle buttons, labels, combo boxes, rotary
    knobs, the corner resizer and tab buttons, all drawn from the component's
    current size, with the embedded regular font for every text it draws.

    One instance per editor window, set on the window so that every child inherits
    it. The window updates the corner size on every resize and the colour scheme
    updates the light grey; neither repaints by itself (the callers repaint).

    Message thread only. Detach it from every component (setLookAndFeel (nullptr))
    before deleting it.
*/
class CvoZkLookAndFeelV1 : public juce::LookAndFeel_V3
{
public:
    CvoZkLookAndFeelV1();
    ~CvoZkLookAndFeelV1() override;

    /** Corner radius of buttons and combo boxes [pixels]; the window passes its
        height / 135. */
    void setCornerSize (float newCornerSize);

    /** A new typeface made from the embedded regular font (compiled into the
        program as binary data); every font of the editor comes from it. */
    static juce::Typeface::Ptr createEmbeddedTypeface();

    /** The embedded regular font at height 40; owned by this look and feel (the
        caller must not delete it, and must not keep it past the look and feel). */
    juce::Font* getDefaultFont() const;

    /** Base colour of the corner-resizer arrows. */
    void setCurrentLightGrey (const juce::Colour& newLightGrey);

    /** The round tick mark of toggle buttons: a glass sphere of diameter 0.7 w,
        blue when ticked, light grey otherwise. */
    void drawRadioTickBox (juce::Graphics& g, juce::Component& component, float x, float y, float w, float h,
                           bool ticked);

    /** Shaded fill and outline shared by buttons, step buttons and step volume bars.
        height: the height of the shape [pixels], which sets the gradient and the
        inner highlight line. Static because it uses no state: widgets can draw
        their body with it whatever look and feel they carry. */
    static void drawButtonShape (juce::Graphics& g, const juce::Path& outline, juce::Colour baseColour,
                                 float height, bool thickOutline);

    /** The caption of a text button as drawButtonText draws it: the framework's
        indents and up to two lines, but fitted (squeezed, then smaller) instead
        of cut. In the button's own coordinates. */
    CvoFittedText getTextButtonCaption (juce::TextButton& button);

    /** The text of a label as drawLabel draws it, in the label's coordinates. */
    CvoFittedText getLabelText (juce::Label& label);

    //==============================================================================
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool isMouseOverButton, bool isButtonDown) override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool isMouseOverButton,
                         bool isButtonDown) override;
    void drawToggleButton (juce::Graphics&, juce::ToggleButton&, bool isMouseOverButton,
                           bool isButtonDown) override;

    /** Default font at max (27, 0.025 x the main display's height) pixels. */
    juce::Font getPopupMenuFont() override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                       int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;

    void drawLabel (juce::Graphics&, juce::Label&) override;
    juce::Font getLabelFont (juce::Label&) override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider&) override;
    juce::Button* createSliderButton (juce::Slider&, bool isIncrement) override;
    juce::Label* createSliderTextBox (juce::Slider&) override;

    void drawCornerResizer (juce::Graphics&, int w, int h, bool isMouseOver, bool isMouseDragging) override;

    void drawTabButton (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;

private:
    /** Height of popup-menu and combo-box texts [pixels]. */
    static float getMenuFontHeight();

    std::unique_ptr<juce::Font> defaultFont;
    juce::Colour currentLightGrey{(juce::uint8)255, (juce::uint8)34, (juce::uint8)34};
    float cornerSize = 4.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CvoZkLookAndFeelV1)
};
