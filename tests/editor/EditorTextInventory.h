#pragma once

// Every text the editor window draws in its current view and size, found by
// walking the shown component tree after layout: each label, text button and
// combo box item as the look and feel draws it, the lines of the text editors,
// and the texts that components paint themselves (CvoPaintedTextSource). Texts
// that one control shows in turn (the info line's help and result texts, the
// changed parameter's name and value, preset names, read-outs) are added as
// variants of that control's text.

#include "MainEditorComponentTestProbe.h"

#include "editor/MainEditorComponent.h"
#include "editor/ZkOstinelAudioProcessorEditor.h"
#include "editor/widgets/CvoFittedText.h"
#include "editor/widgets/CvoZkLookAndFeelV1.h"
#include "engine/ZkOstinelAudioProcessor.h"
#include "engine/params/CvoParameter.h"
#include "engine/params/CvoParameterManager.h"

#include <functional>
#include <map>
#include <memory>

namespace EditorTextInventory
{
struct DrawnText
{
    juce::String where;            // the component (by name or kind) and its parents
    CvoFittedText text;            // as drawn, in the component's coordinates
    juce::Rectangle<float> bounds; // the component's local bounds
    bool drawnAsIs = false;        // drawn by the framework without fitting (text editor lines)
};

/** Texts that a control shows in turn, by component name. */
using Variants = std::map<juce::String, juce::StringArray>;

inline juce::String describe (juce::Component& component)
{
    if (component.getName().isNotEmpty())
        return component.getName();
    if (auto* button = dynamic_cast<juce::Button*> (&component))
        return "button \"" + button->getButtonText() + "\"";
    return typeid (component).name();
}

inline void addTooltips (juce::Component& component, juce::StringArray& texts)
{
    if (auto* client = dynamic_cast<juce::TooltipClient*> (&component))
        texts.addIfNotAlreadyThere (client->getTooltip());
    for (auto* child : component.getChildren())
        addTooltips (*child, texts);
}

/** The texts the info line, the changed-parameter labels, the preset name and
    the read-outs can show. The info line's result texts of the pattern
    commands are taken by running every command once. */
inline Variants collectVariants (ZkOstinelAudioProcessor& processor, MainEditorComponent& surface)
{
    MainEditorComponentTestProbe probe (surface);
    Variants variants;

    auto& info = variants["Bottom Info Label"];
    addTooltips (surface, info);
    for (const auto* group :
         {&probe.shiftGroup(), &probe.copyGroup(), &probe.randomGroup(), &probe.initGroup()})
        for (auto* button : *group)
        {
            surface.buttonClicked (button);
            info.addIfNotAlreadyThere (probe.bottomInfo().getText());
        }
    info.addArray ({"PRESET NAME: new preset name not accepted !!!", "CANCEL: preset was NOT saved ...",
                    ManagePresetsComponent::getSaveReport (true),
                    ManagePresetsComponent::getSaveReport (false), "choose from popup menu ...",
                    "Resizer: NEW SIZE set to 3840x2160", probe.versionText()});
    info.removeEmptyStrings();

    // Every parameter the editor writes shows its name and value; the values at
    // a spread of positions (the parameter is put back afterwards).
    auto& names = variants["Changed Entity Name Label"];
    auto& values = variants["Changed Entity Value Label"];
    auto* parameters = processor.getParameterManager();
    for (int i = 0; i < parameters->getNumberOfParameters(); ++i)
        if (auto* parameter = parameters->getParameter (i))
        {
            names.addIfNotAlreadyThere (parameter->getName());
            const float kept = parameter->getValue();
            for (float v : {0.0f, 0.05f, 0.1f, 0.25f, 0.333f, 0.5f, 0.667f, 0.75f, 0.9f, 0.95f, 1.0f})
            {
                parameter->setValue (v);
                values.addIfNotAlreadyThere (parameter->getValueAsText());
            }
            parameter->setValue (kept);
        }

    auto& presets = variants["Preset Name Label"];
    for (const auto& name : processor.getAllFactoryPresetNames())
        presets.add (name + "*");
    presets.add ("insert your preset name here");

    variants["Position Label"] = {"888.8.888"};
    variants["Time Label"] = {"88:88:88"};
    variants["BPM Label"] = {"888.88 BPM"};
    variants["Pattern Length Label"] = {"1", "2", "4"};
    return variants;
}

inline void collect (juce::Component& component, CvoZkLookAndFeelV1& lookAndFeel, const Variants& variants,
                     const juce::String& path, juce::Array<DrawnText>& texts)
{
    if (!component.isVisible() || component.getWidth() <= 0 || component.getHeight() <= 0)
        return;

    const auto where = path + "/" + describe (component);
    const auto bounds = component.getLocalBounds().toFloat();
    const auto addWithVariants = [&] (const CvoFittedText& text, const juce::StringArray& others)
    {
        texts.add ({where, text, bounds});
        for (const auto& other : others)
        {
            auto variant = text;
            variant.text = other;
            texts.add ({where + " showing \"" + other + "\"", variant, bounds});
        }
    };

    if (auto* source = dynamic_cast<CvoPaintedTextSource*> (&component))
    {
        for (const auto& text : source->getPaintedTexts())
            texts.add ({where, text, bounds});
    }
    else if (auto* button = dynamic_cast<juce::TextButton*> (&component))
    {
        texts.add ({where, lookAndFeel.getTextButtonCaption (*button), bounds});
    }
    else if (auto* label = dynamic_cast<juce::Label*> (&component))
    {
        juce::StringArray others;
        if (auto* box = dynamic_cast<juce::ComboBox*> (label->getParentComponent()))
            for (int i = 0; i < box->getNumItems(); ++i)
                others.add (box->getItemText (i));
        else if (const auto found = variants.find (label->getName()); found != variants.end())
            others = found->second;
        addWithVariants (lookAndFeel.getLabelText (*label), others);
    }
    else if (auto* editor = dynamic_cast<juce::TextEditor*> (&component))
    {
        // Unwrapped lines from the left indent inside the border; the framework
        // neither squeezes nor shrinks them.
        const auto border = editor->getBorder();
        const auto area = bounds.withTrimmedLeft ((float)(border.getLeft() + editor->getLeftIndent()))
                              .withTrimmedRight ((float)border.getRight());
        for (const auto& line : juce::StringArray::fromLines (editor->getText()))
        {
            CvoFittedText text;
            text.text = line;
            text.font = editor->getFont();
            text.area = area;
            text.justification = juce::Justification::centredLeft;
            text.minimumHorizontalScale = 1.0f;
            texts.add ({where, text, bounds, true});
        }
        return; // its children draw the same text
    }

    for (auto* child : component.getChildren())
        collect (*child, lookAndFeel, variants, where, texts);
}

/** The views of the editor that show different texts: the main view in
    normal mode (with the beat strips' buttons shown) and expert mode with every pattern command tab (and
   none, which shows the tab area's caption), bypass and mute-all (the envelope view's captions), the info
   screen with the timing offset on, the save panel and a corner drag. */
struct View
{
    const char* name;
    std::function<void (MainEditorComponent&, MainEditorComponentTestProbe&)> show;
};

inline const std::vector<View>& views()
{
    static const std::vector<View> all{
        {"normal, beat strips under the mouse",
         [] (MainEditorComponent&, MainEditorComponentTestProbe& p)
         {
             // A strip shows its COPY and PASTE buttons under the mouse.
             for (int beat = 0; beat < 4; ++beat)
                 for (auto* strip : {static_cast<juce::Component*> (&p.lengthStrip (beat)),
                                     static_cast<juce::Component*> (&p.volumeStrip (beat))})
                     for (auto* button : strip->getChildren())
                         button->setVisible (true);
         }},
        {"expert SHIFT",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe& p)
         {
             p.setExpertMode (true);
             s.setVisiblePatternCommandTabContent (PatternCommandTabShift);
         }},
        {"expert COPY",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe& p)
         {
             p.setExpertMode (true);
             s.setVisiblePatternCommandTabContent (PatternCommandTabCopy);
         }},
        {"expert RAND",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe& p)
         {
             p.setExpertMode (true);
             s.setVisiblePatternCommandTabContent (PatternCommandTabRandom);
         }},
        {"expert INIT",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe& p)
         {
             p.setExpertMode (true);
             s.setVisiblePatternCommandTabContent (PatternCommandTabInit);
         }},
        {"expert, no tab",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe& p)
         {
             p.setExpertMode (true);
             s.setVisiblePatternCommandTabContent (PatternCommandTabNone);
         }},
        {"bypass", [] (MainEditorComponent& s, MainEditorComponentTestProbe&) { s.setBypassState (true); }},
        {"mute all",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe&) { s.setMuteAllState (true); }},
        {"info screen",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe& p)
         {
             s.showInfoComponent();
             if (auto* info = dynamic_cast<InfoComponent*> (&p.infoScreen()))
                 info->setDawTimingOffsetState (true);
         }},
        {"save panel",
         [] (MainEditorComponent& s, MainEditorComponentTestProbe&) { s.showManagePresetsComponent(); }},
        {"resizing", [] (MainEditorComponent& s, MainEditorComponentTestProbe&) { s.resizingStarted(); }},
    };
    return all;
}

/** A processor's editor window at a height [pixels] in one view, laid out. */
struct ShownEditor
{
    ShownEditor (ZkOstinelAudioProcessor& processor, int height, const View& view)
        : window (std::make_unique<ZkOstinelAudioProcessorEditor> (&processor))
        , surface (*window->getMainComponent())
        , probe (surface)
    {
        window->setSize (ZkOstinelAudioProcessorEditor::getWidthForHeight (height), height);
        surface.timerCallback(); // the envelope view takes its font on the first tick
        view.show (surface, probe);
    }

    std::unique_ptr<ZkOstinelAudioProcessorEditor> window;
    MainEditorComponent& surface;
    MainEditorComponentTestProbe probe;
};

/** Every text the window draws now. */
inline juce::Array<DrawnText> collect (ZkOstinelAudioProcessorEditor& window, const Variants& variants)
{
    // The window itself is not on the desktop (never made visible); its
    // children are what a host would show.
    juce::Array<DrawnText> texts;
    for (const auto& text : window.getPaintedTexts())
        texts.add ({"window", text, window.getLocalBounds().toFloat()});
    for (auto* child : window.getChildren())
        collect (*child, *window.getLookAndFeel(), variants, "window", texts);
    return texts;
}
} // namespace EditorTextInventory
