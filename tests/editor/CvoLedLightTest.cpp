#include "EditorTestSupport.h"

#include "editor/widgets/CvoLedLight.h"
#include "editor/widgets/CvoStepCursorLed.h"
#include "editor/widgets/CvoZkColours.h"

using namespace EditorTestSupport;

namespace
{
const auto background = juce::Colours::black;

// The LED's own drawing, without its glow effect.
juce::Image paintWithoutGlow (CvoLedLight& led)
{
    auto image = makeCanvas (led.getWidth(), led.getHeight(), background);
    juce::Graphics g (image);
    led.paint (g);
    return image;
}
} // namespace

TEST (CvoLedLight, FullLengthIsSolidShorterFadesOutToTheRight)
{
    CvoLedLight led;
    led.setLedLightColour (juce::Colours::green);
    led.setBounds (0, 0, 100, 20); // bar from x 10 to 90, y 7 to 13

    const auto solid = paintWithoutGlow (led);
    EXPECT_TRUE (coloursNear (solid.getPixelAt (20, 10), juce::Colours::green));
    EXPECT_TRUE (coloursNear (solid.getPixelAt (75, 10), juce::Colours::green));
    EXPECT_TRUE (coloursNear (solid.getPixelAt (50, 3), background));

    // 0.3: solid up to 0.24 of the width, gone from 0.64 on.
    led.setLengthAmount (0.3f);
    const auto stub = paintWithoutGlow (led);
    EXPECT_TRUE (coloursNear (stub.getPixelAt (20, 10), juce::Colours::green));
    EXPECT_TRUE (coloursNear (stub.getPixelAt (75, 10), background));
    const auto middle = stub.getPixelAt (44, 10);
    EXPECT_GT (middle.getGreen(), 20);
    EXPECT_LT (middle.getGreen(), juce::Colours::green.getGreen() - 20);
}

TEST (CvoLedLight, GlowSpreadsAroundTheBarByItsAmount)
{
    CvoLedLight led;
    led.setBounds (0, 0, 100, 20);

    // Above the bar only the white glow can light a pixel.
    EXPECT_GT (render (led, background).getPixelAt (50, 4).getBrightness(), 0.05f);

    led.setGlowAmount (0.0f);
    EXPECT_TRUE (coloursNear (render (led, background).getPixelAt (50, 4), background, 1));
}

TEST (CvoLedLight, LedTooShortForTheGlowBlurDrawsItsBarAlone)
{
    CvoLedLight led;
    led.setBounds (0, 0, 40, 2);
    const auto plain = paintWithoutGlow (led);
    const auto rendered = render (led, background);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 2; ++y)
            ASSERT_EQ (rendered.getPixelAt (x, y), plain.getPixelAt (x, y)) << x << ", " << y;

    led.setSize (40, 3);
    EXPECT_NE (render (led, background).getPixelAt (2, 0), paintWithoutGlow (led).getPixelAt (2, 0));
}

TEST (CvoStepCursorLed, ShowsTheEmptySlotUntilActivated)
{
    CvoStepCursorLed cursor;
    cursor.setBounds (0, 0, 60, 24); // slot from y 9 to 15
    const auto slot = background.overlaidWith (CvoZkColours::zkdarkGrey.withAlpha (0.3f));

    EXPECT_TRUE (coloursNear (render (cursor, background).getPixelAt (30, 12), slot));

    cursor.setActive (true);
    const auto lit = render (cursor, background).getPixelAt (30, 12);
    EXPECT_GE (lit.getBrightness(), juce::Colours::white.darker (0.3f).getBrightness() - 0.02f);

    cursor.setActive (false);
    cursor.setEnabled (false);
    EXPECT_TRUE (coloursNear (render (cursor, background).getPixelAt (30, 12),
                              background.overlaidWith (CvoZkColours::zkdarkGrey.withAlpha (0.1f))));
}
