#include "EditorTestSupport.h"

#include "editor/widgets/CvoRotarySlider.h"
#include "engine/params/CvoParameter.h"

using namespace EditorTestSupport;

namespace
{
// A parameter whose mapper reads typed decibels: value = number / 24 + 0.5.
CvoParameter makeDecibelParameter()
{
    return CvoParameter (nullptr, CvoParameterValueMapper::MAPPING_GAIN_DB_PLUS_MINUS_12);
}

class RotarySliderTest : public ::testing::Test
{
protected:
    RotarySliderTest()
    {
        slider.setBounds (0, 0, 100, 100);
        slider.setRange (0.0, 1.0, 0.0001);
        slider.setDoubleClickReturnValue (true, 0.25);
        slider.setValue (0.8, juce::dontSendNotification);
    }

    const juce::ModifierKeys leftButton{juce::ModifierKeys::leftButtonModifier};
    CvoRotarySlider slider{nullptr};
};
} // namespace

TEST (CvoRotarySlider, TypedTextLosesSignBlanksAndUnitAndReadsCommaAsPoint)
{
    CvoRotarySlider plain (nullptr);
    EXPECT_DOUBLE_EQ (plain.getValueFromText ("+ 12,5 dB"), 12.5);
    EXPECT_DOUBLE_EQ (plain.getValueFromText ("  + +  -3.25%"), -3.25);
    EXPECT_DOUBLE_EQ (plain.getValueFromText ("dB 12"), 0.0);

    auto parameter = makeDecibelParameter();
    CvoRotarySlider mapped (&parameter);
    const double expected = (double)parameter.getValueMapper()->string2normedValueAsFloat ("12.5");
    EXPECT_DOUBLE_EQ (mapped.getValueFromText ("+ 12,5 dB"), expected);
    EXPECT_NEAR (expected, 12.5 / 24.0 + 0.5, 1e-6);
}

TEST (CvoRotarySlider, ShowsTheMapperTextOrTwoDecimals)
{
    CvoRotarySlider plain (nullptr);
    EXPECT_EQ (plain.getTextFromValue (0.257), "0.26");

    auto parameter = makeDecibelParameter();
    CvoRotarySlider mapped (&parameter);
    EXPECT_EQ (mapped.getTextFromValue (0.5), "0.0dB");
    EXPECT_EQ (mapped.getTextFromValue (0.75), parameter.getValueMapper()->normed2RealValueAsString (0.75f));
}

TEST_F (RotarySliderTest, CommandClickResetsToTheDoubleClickValueWithoutDragging)
{
    int dragStarts = 0;
    slider.onDragStart = [&dragStarts] { ++dragStarts; };

    const auto commandClick = leftButton.withFlags (juce::ModifierKeys::commandModifier);
    slider.mouseDown (mouseEventAt (slider, {50.0f, 50.0f}, commandClick));
    EXPECT_DOUBLE_EQ (slider.getValue(), 0.25);

    // No drag follows: moving the mouse afterwards changes nothing, and the
    // release leaves the pointer alone.
    slider.setValue (0.8, juce::dontSendNotification);
    slider.mouseDrag (mouseEventAt (slider, {50.0f, 0.0f}, commandClick, true));
    slider.mouseUp (mouseEventAt (slider, {50.0f, 50.0f}, commandClick));
    EXPECT_DOUBLE_EQ (slider.getValue(), 0.8);
    EXPECT_EQ (dragStarts, 1); // the reset itself is one gesture
}

TEST_F (RotarySliderTest, DisabledKnobIgnoresPresses)
{
    slider.setEnabled (false);
    slider.mouseDown (
        mouseEventAt (slider, {50.0f, 50.0f}, leftButton.withFlags (juce::ModifierKeys::commandModifier)));
    EXPECT_DOUBLE_EQ (slider.getValue(), 0.8);
}

TEST_F (RotarySliderTest, VerticalDragOf350PixelsSpansTheRange)
{
    slider.setValue (0.0, juce::dontSendNotification);
    slider.mouseDown (mouseEventAt (slider, {50.0f, 300.0f}, leftButton));
    slider.mouseDrag (mouseEventAt (slider, {50.0f, 125.0f}, leftButton, true));
    EXPECT_NEAR (slider.getValue(), 0.5, 1e-4);

    // The release would put the pointer back where the drag began, which needs a
    // display; the drag is left open here.
}
