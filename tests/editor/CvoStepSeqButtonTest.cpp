#include "EditorTestSupport.h"

#include "editor/widgets/CvoStepSeqButton.h"
#include "editor/widgets/CvoZkColours.h"

#include <limits>

using namespace EditorTestSupport;

namespace
{
using State = CvoStepSeqButton::CvoStepSeqButtonState;
const auto background = juce::Colours::black;

class StepSeqButtonTest : public ::testing::Test
{
protected:
    StepSeqButtonTest()
    {
        button.stopTimer();
        button.setBounds (0, 0, 50, 100);
        button.setBackgroundColours (juce::Colours::darkgrey, juce::Colours::grey);
    }

    State afterClickFrom (State start, juce::ModifierKeys modifiers)
    {
        button.setButtonState (start);
        button.clicked (modifiers);
        return button.getButtonState();
    }

    juce::Component& led() { return *button.getChildComponent (0); }

    CvoStepSeqButton button{nullptr};
};
} // namespace

TEST_F (StepSeqButtonTest, PlainClickCyclesForwardAnyModifierBackward)
{
    const juce::ModifierKeys plain (juce::ModifierKeys::leftButtonModifier);
    EXPECT_EQ (afterClickFrom (State::NoStep, plain), State::ShortStep);
    EXPECT_EQ (afterClickFrom (State::ShortStep, plain), State::LongStep);
    EXPECT_EQ (afterClickFrom (State::LongStep, plain), State::StepLink);
    EXPECT_EQ (afterClickFrom (State::StepLink, plain), State::NoStep);

    for (int modifier : {juce::ModifierKeys::shiftModifier, juce::ModifierKeys::ctrlModifier,
                         juce::ModifierKeys::altModifier, juce::ModifierKeys::commandModifier,
                         juce::ModifierKeys::rightButtonModifier})
    {
        const juce::ModifierKeys backwards (modifier);
        EXPECT_EQ (afterClickFrom (State::NoStep, backwards), State::StepLink) << modifier;
        EXPECT_EQ (afterClickFrom (State::StepLink, backwards), State::LongStep) << modifier;
        EXPECT_EQ (afterClickFrom (State::LongStep, backwards), State::ShortStep) << modifier;
        EXPECT_EQ (afterClickFrom (State::ShortStep, backwards), State::NoStep) << modifier;
    }
}

TEST_F (StepSeqButtonTest, ListenersSeeTheNewStateOfAClick)
{
    struct Recorder : juce::Button::Listener
    {
        void buttonClicked (juce::Button* b) override
        {
            seen = static_cast<CvoStepSeqButton*> (b)->getButtonState();
        }
        State seen = State::NoStep;
    } recorder;

    button.addListener (&recorder);
    button.triggerClick(); // from ShortStep, no modifiers held
    deliverPendingMessages();
    EXPECT_EQ (recorder.seen, State::LongStep);
    button.removeListener (&recorder);
}

TEST_F (StepSeqButtonTest, NormalisedValuesMapByQuartersAndRoundTrip)
{
    const std::pair<float, State> cases[] = {
        {0.0f, State::NoStep},     {0.2499f, State::NoStep},
        {0.25f, State::ShortStep}, {0.4999f, State::ShortStep},
        {0.5f, State::LongStep},   {0.75f, State::StepLink},
        {1.0f, State::StepLink},   {7.0f, State::StepLink},
        {-0.1f, State::StepLink},  {std::numeric_limits<float>::quiet_NaN(), State::StepLink},
    };
    for (const auto& [value, state] : cases)
    {
        button.setButtonStateFromNormedValue (value);
        EXPECT_EQ (button.getButtonState(), state) << value;
    }

    const float written[] = {0.125f, 0.375f, 0.625f, 0.875f};
    for (int s = 0; s < 4; ++s)
    {
        button.setButtonState ((State)s);
        EXPECT_EQ (button.getButtonStateAsNormedValue(), written[s]);
        button.setButtonStateFromNormedValue (button.getButtonStateAsNormedValue());
        EXPECT_EQ (button.getButtonState(), (State)s);
    }
}

TEST_F (StepSeqButtonTest, LedVisibilityIsDecidedWhenTheStateIsSet)
{
    EXPECT_FALSE (led().isVisible()) << "hidden until the first state is set";

    button.setButtonState (State::LongStep);
    EXPECT_TRUE (led().isVisible());
    button.setButtonState (State::NoStep);
    EXPECT_FALSE (led().isVisible());

    button.setButtonState (State::ShortStep);
    button.setEnabled (false);
    EXPECT_TRUE (led().isVisible()) << "disabling alone leaves the LED";
    button.setButtonState (State::ShortStep);
    EXPECT_FALSE (led().isVisible());

    button.setEnabled (true);
    EXPECT_FALSE (led().isVisible()) << "enabling alone leaves the LED";
}

TEST_F (StepSeqButtonTest, LedSpansTheUpperPartRoundedOutwards)
{
    // 50 x 100: left floor (4.5), top floor (3), right ceil (45.5), bottom ceil (38).
    EXPECT_EQ (led().getBounds(), juce::Rectangle<int>::leftTopRightBottom (4, 3, 46, 38));
}

TEST_F (StepSeqButtonTest, DisabledButtonDrawsNoTrackNoArrowAndHasNoTooltip)
{
    juce::DrawableRectangle arrow;
    arrow.setRectangle (juce::Parallelogram<float> (juce::Rectangle<float> (0.0f, 0.0f, 10.0f, 10.0f)));
    arrow.setFill (juce::Colours::magenta);
    button.setStepLinkDrawable (&arrow);
    button.setTooltip ("STEP LENGTH: tip");

    // The body's gradient is vertical: on one row, the track (x 11 to 39, y 17 to
    // 25.5; LED hidden for NoStep) shows as a green tint against the body beside it.
    auto trackTint = [this]
    {
        const auto image = render (button, background);
        return image.getPixelAt (25, 21).getGreen() - image.getPixelAt (5, 21).getGreen();
    };
    // The arrow is drawn within (10, 40, 30, 30).
    auto arrowShows = [this]
    { return coloursNear (render (button, background).getPixelAt (25, 55), juce::Colours::magenta); };

    button.setButtonState (State::NoStep);
    EXPECT_GT (trackTint(), 2);
    EXPECT_FALSE (arrowShows()) << "the arrow belongs to StepLink only";
    button.setButtonState (State::StepLink);
    EXPECT_TRUE (arrowShows());
    EXPECT_EQ (button.getTooltip(), "STEP LENGTH: tip");

    button.setEnabled (false);
    EXPECT_FALSE (arrowShows());
    EXPECT_TRUE (button.getTooltip().isEmpty());
    button.setButtonState (State::NoStep);
    EXPECT_EQ (trackTint(), 0);
}
