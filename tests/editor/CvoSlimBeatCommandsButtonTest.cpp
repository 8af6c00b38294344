#include "EditorTestSupport.h"

#include "editor/widgets/CvoBorderlessTextButton.h"
#include "editor/widgets/CvoSlimBeatCommandsButton.h"

#include <stdexcept>

using namespace EditorTestSupport;

namespace
{
const auto background = juce::Colours::black;
const auto stripColour = juce::Colours::lightgrey;

struct ChangeCounter : juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

class SlimBeatCommandsButtonTest : public ::testing::Test
{
protected:
    SlimBeatCommandsButtonTest()
    {
        strip.setBounds (0, 0, 150, 40);
        strip.stopTimer(); // ticks are driven by the tests
    }

    juce::Button& childButton (const juce::String& name)
    {
        for (auto* child : strip.getChildren())
            if (child->getName() == name)
                return dynamic_cast<juce::Button&> (*child);
        throw std::runtime_error ("no child button " + name.toStdString());
    }

    // The strip's colour in the middle of its slim bar.
    juce::Colour barColour() { return render (strip, background).getPixelAt (75, 20); }

    CvoSlimBeatCommandsButton strip{nullptr};
};
} // namespace

TEST_F (SlimBeatCommandsButtonTest, ClickTellsCopyFromPasteNotifiesOnceAndFlashes)
{
    ChangeCounter counter;
    strip.addChangeListener (&counter);
    strip.setBackgroundColour (stripColour);

    strip.buttonClicked (&childButton ("COPY"));
    deliverPendingMessages();
    EXPECT_TRUE (strip.wasLastButtonClickedCopy());
    EXPECT_EQ (counter.count, 1);
    EXPECT_TRUE (coloursNear (barColour(), juce::Colours::white));

    strip.buttonClicked (&childButton ("PASTE"));
    deliverPendingMessages();
    EXPECT_FALSE (strip.wasLastButtonClickedCopy());
    EXPECT_EQ (counter.count, 2);

    strip.removeChangeListener (&counter);
}

TEST_F (SlimBeatCommandsButtonTest, FlashLastsSixTicks)
{
    strip.setBackgroundColour (stripColour);
    strip.startFlashing();

    for (int tick = 0; tick < 5; ++tick)
        strip.timerCallback();
    // Strength 1 - 5 x 0.175 = 0.125 is left.
    EXPECT_TRUE (
        coloursNear (barColour(), stripColour.overlaidWith (juce::Colours::white.withAlpha (0.125f))));

    strip.timerCallback();
    EXPECT_TRUE (coloursNear (barColour(), stripColour, 1));

    // Not hovered, the strip is a slim bar across the middle (y 16 to 24).
    const auto image = render (strip, background);
    EXPECT_TRUE (coloursNear (image.getPixelAt (75, 12), background));
    EXPECT_TRUE (coloursNear (image.getPixelAt (75, 28), background));
}

TEST_F (SlimBeatCommandsButtonTest, HoverPollingSwitchedOffKeepsButtonVisibility)
{
    auto& copy = childButton ("COPY");
    auto& paste = childButton ("PASTE");
    copy.setVisible (true);
    paste.setVisible (true);

    strip.setShouldMouseOverGettingCheckedState (false);
    strip.timerCallback();
    EXPECT_TRUE (copy.isVisible());
    EXPECT_TRUE (paste.isVisible());

    strip.setShouldMouseOverGettingCheckedState (true);
    strip.timerCallback(); // the mouse is not over the strip
    EXPECT_FALSE (copy.isVisible());
    EXPECT_FALSE (paste.isVisible());
}

TEST_F (SlimBeatCommandsButtonTest, DisabledStripIsDimDoesNotFlashAndDisablesItsButtons)
{
    strip.setBackgroundColour (stripColour);
    strip.startFlashing();
    strip.setEnabled (false);

    EXPECT_FALSE (childButton ("COPY").isEnabled());
    EXPECT_FALSE (childButton ("PASTE").isEnabled());
    EXPECT_TRUE (coloursNear (barColour(), background.overlaidWith (stripColour.withAlpha (0.3f))));

    // A disabled strip keeps its buttons as they are, whatever the mouse does.
    childButton ("COPY").setVisible (true);
    strip.timerCallback();
    EXPECT_TRUE (childButton ("COPY").isVisible());

    strip.setEnabled (true);
    EXPECT_TRUE (childButton ("PASTE").isEnabled());
}

TEST (CvoBorderlessTextButton, DrawsOnlyItsNameAsCaptionDimmedWhenDisabled)
{
    CvoBorderlessTextButton button;
    button.stopTimer();
    button.setBounds (0, 0, 120, 40);
    button.setButtonText ("TEXT");

    EXPECT_TRUE (inkBounds (render (button, background), background).isEmpty())
        << "button text is no caption";

    button.setName ("COPY");
    auto brightest = [&button]
    {
        const auto image = render (button, background);
        float result = 0.0f;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                result = juce::jmax (result, image.getPixelAt (x, y).getBrightness());
        return result;
    };

    const float expected = juce::Colours::lightgrey.brighter (0.4f).getBrightness();
    EXPECT_NEAR (brightest(), expected, 0.02f);

    button.setEnabled (false);
    EXPECT_NEAR (brightest(), 0.2f * expected, 0.02f);
}
