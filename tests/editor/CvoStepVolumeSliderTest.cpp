#include "EditorTestSupport.h"

#include "editor/widgets/CvoStepSeqButton.h"
#include "editor/widgets/CvoStepVolumeSlider.h"

using namespace EditorTestSupport;

namespace
{
const auto background = juce::Colours::black;

class StepVolumeSliderTest : public ::testing::Test
{
protected:
    StepVolumeSliderTest()
    {
        stepButton.stopTimer();
        slider.setBounds (0, 0, 40, 200); // bar x 10 to 30; bottom inset from y 175
        slider.setBackgroundColour (juce::Colours::darkgrey);
        slider.setStepSeqButton (&stepButton);
        stepButton.setButtonState (CvoStepSeqButton::LongStep);
    }

    juce::Colour pixel (int y) { return render (slider, background).getPixelAt (20, y); }

    CvoStepSeqButton stepButton{nullptr};
    CvoStepVolumeSlider slider{nullptr};
};
} // namespace

TEST_F (StepVolumeSliderTest, AtZeroOnlyTheCapShowsOnTheBottomInset)
{
    slider.setValue (0.0, juce::dontSendNotification);
    const auto bodyOnly = pixel (100);
    const auto cap = pixel (177); // cap from y 175 to 185

    EXPECT_TRUE (coloursNear (cap, juce::Colours::white));
    EXPECT_FALSE (coloursNear (bodyOnly, juce::Colours::white, 60));

    // Dimmed while the step is NoStep: the cap at alpha 0.3 over the body.
    stepButton.setButtonState (CvoStepSeqButton::NoStep);
    const auto dimCap = pixel (177);
    EXPECT_LT (dimCap.getBrightness(), 0.7f);
    EXPECT_GT (dimCap.getBrightness(), bodyOnly.getBrightness() + 0.1f);
}

TEST_F (StepVolumeSliderTest, BarGrowsUpwardsToAnInsetBelowTheTop)
{
    slider.setValue (0.0, juce::dontSendNotification);
    const auto emptyAt20 = pixel (20), emptyAt50 = pixel (50), emptyAt140 = pixel (140);

    slider.setValue (0.5, juce::dontSendNotification); // bar from y 100 to 175
    EXPECT_FALSE (coloursNear (pixel (140), emptyAt140, 20));
    EXPECT_TRUE (coloursNear (pixel (102), juce::Colours::white)); // cap at the top edge
    EXPECT_TRUE (coloursNear (pixel (50), emptyAt50, 0));

    slider.setValue (1.0, juce::dontSendNotification); // bar from y 25
    EXPECT_TRUE (coloursNear (pixel (27), juce::Colours::white));
    EXPECT_FALSE (coloursNear (pixel (50), emptyAt50, 20));
    EXPECT_TRUE (coloursNear (pixel (20), emptyAt20, 0));
}

TEST_F (StepVolumeSliderTest, DisabledShowsNoBarAndNoTooltip)
{
    slider.setTooltip ("STEP VOLUME: tip");
    slider.setValue (1.0, juce::dontSendNotification);
    EXPECT_EQ (slider.getTooltip(), "STEP VOLUME: tip");

    slider.setEnabled (false);
    EXPECT_TRUE (slider.getTooltip().isEmpty());
    EXPECT_FALSE (coloursNear (pixel (27), juce::Colours::white, 100));
    EXPECT_LT (pixel (100).getBrightness(), 0.2f);
}
