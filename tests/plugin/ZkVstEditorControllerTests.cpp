// The wrapper's editor opcodes without a display: the size before opening,
// deleting the editor only after the processor has let go of it, refused
// arguments, idle calls that run JUCE's messages only on the message thread,
// and a processor without an editor. Embedding in a host window is tested by
// the display tests of the host.

#include "FakeProcessor.h"
#include "plugin/ZkVstWrapper.h"
#include "vst/RecordingHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace
{
/** What became of the editors of a processor; outlives the processor. */
struct EditorLog
{
    int made = 0;
    int deleted = 0;
    bool stillActiveWhenDeleted = false;
};

/** An editor that notes whether its processor still named it active when it went
    (it reads the processor, so it must go before the processor). */
class SizedEditor : public juce::AudioProcessorEditor
{
public:
    SizedEditor (juce::AudioProcessor& processorToEdit, EditorLog& logToUse)
        : juce::AudioProcessorEditor (processorToEdit)
        , log (logToUse)
    {
        setSize (400, 225);
    }

    ~SizedEditor() override
    {
        log.stillActiveWhenDeleted = processor.getActiveEditor() == this;
        ++log.deleted;
    }

private:
    EditorLog& log;
};

class ProcessorWithEditor : public FakeProcessor
{
public:
    explicit ProcessorWithEditor (EditorLog& logToUse)
        : log (logToUse)
    {
    }

    juce::AudioProcessorEditor* createEditor() override
    {
        ++log.made;
        return new SizedEditor (*this, log);
    }

private:
    EditorLog& log;
};

class ProcessorWithoutEditor : public FakeProcessor
{
public:
    bool hasEditor() const override { return false; }
};

class EditorOpcodes : public ::testing::Test
{
protected:
    EditorOpcodes() { host.answers[audioMasterVersion] = 2400; }

    AEffect* makeEffect (std::unique_ptr<FakeProcessor> processor)
    {
        wrapper = std::make_unique<ZkVstWrapper> (RecordingHost::callback, ZkMessageThread::Reference(),
                                                  std::move (processor));
        return wrapper->getAeffect();
    }

    static VstIntPtr dispatch (AEffect* effect, VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr)
    {
        return effect->dispatcher (effect, opcode, 0, value, ptr, 0.0f);
    }

    RecordingHost host;
    EditorLog log;
    std::unique_ptr<ZkVstWrapper> wrapper;
};
} // namespace

TEST_F (EditorOpcodes, SizeBeforeOpeningAndDeletionAfterTheProcessorLetGo)
{
    auto owned = std::make_unique<ProcessorWithEditor> (log);
    auto& processor = *owned;
    AEffect* effect = makeEffect (std::move (owned));
    EXPECT_NE (effect->flags & effFlagsHasEditor, 0);

    ERect* rect = nullptr;
    ASSERT_EQ (dispatch (effect, effEditGetRect, 0, &rect), 1);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->top, 0);
    EXPECT_EQ (rect->left, 0);
    EXPECT_EQ (rect->bottom, 225);
    EXPECT_EQ (rect->right, 400);
    EXPECT_NE (processor.getActiveEditor(), nullptr);

    // Asking again keeps the one editor.
    ASSERT_EQ (dispatch (effect, effEditGetRect, 0, &rect), 1);
    EXPECT_EQ (log.made, 1);

    dispatch (effect, effEditClose);
    EXPECT_EQ (log.deleted, 1);
    EXPECT_FALSE (log.stillActiveWhenDeleted);
    EXPECT_EQ (processor.getActiveEditor(), nullptr);

    // Closing again, or with no editor, does nothing.
    dispatch (effect, effEditClose);
    EXPECT_EQ (log.deleted, 1);
}

TEST_F (EditorOpcodes, EffectClosedWithAnEditorDeletesItBeforeTheProcessor)
{
    AEffect* effect = makeEffect (std::make_unique<ProcessorWithEditor> (log));

    ERect* rect = nullptr;
    ASSERT_EQ (dispatch (effect, effEditGetRect, 0, &rect), 1);

    // effClose through the record deletes the wrapper and with it the processor;
    // the editor reads its processor as it goes (the sanitizer build sees a late one).
    wrapper.release();
    EXPECT_EQ (AudioEffect::dispatchEffectClass (effect, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ (log.deleted, 1);
    EXPECT_FALSE (log.stillActiveWhenDeleted);
}

TEST_F (EditorOpcodes, RefusesANullRectangleAndANullParent)
{
    auto owned = std::make_unique<ProcessorWithEditor> (log);
    auto& processor = *owned;
    AEffect* effect = makeEffect (std::move (owned));

    EXPECT_EQ (dispatch (effect, effEditGetRect, 0, nullptr), 0);
    EXPECT_EQ (dispatch (effect, effEditOpen, 0, nullptr), 0);
    EXPECT_FALSE (wrapper->getEditorController()->isOpen());
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
}

TEST_F (EditorOpcodes, IdleRunsPendingMessagesOnlyOnTheMessageThreadAndAsksTheHostForNothing)
{
    AEffect* effect = makeEffect (std::make_unique<ProcessorWithEditor> (log));

    std::atomic<bool> delivered{false};
    juce::MessageManager::callAsync ([&delivered] { delivered = true; });

    // From another thread: that thread is not JUCE's message thread.
    std::thread ([effect] { dispatch (effect, effEditIdle); }).join();
    EXPECT_FALSE (delivered);

    host.calls.clear();
    dispatch (effect, effEditIdle);
    EXPECT_TRUE (delivered);

    // The host gave the idle time; an idle request back (audioMasterIdle) would
    // bring a host that answers it with effEditIdle straight back here.
    for (const auto& call : host.calls)
        EXPECT_NE (call.opcode, audioMasterIdle);
}

TEST_F (EditorOpcodes, AHostThatAnswersWithIdleAtOnceDoesNotNestTheMessageLoop)
{
    AEffect* effect = makeEffect (std::make_unique<ProcessorWithEditor> (log));

    // Answers idle requests and display updates with the plug-in's idle, at
    // once and on the same thread (Ardour 7 does so for audioMasterIdle); the
    // depth limit keeps a looping plug-in from overflowing the stack.
    int depth = 0, deepest = 0;
    host.onCall = [&] (const HostCall& call)
    {
        if ((call.opcode != audioMasterIdle && call.opcode != audioMasterUpdateDisplay) || depth >= 8)
            return;
        deepest = std::max (deepest, ++depth);
        dispatch (effect, effEditIdle);
        --depth;
    };

    // The first message calls the host; the host's idle must not run the second
    // message from inside the first.
    bool secondDelivered = false, secondRanInsideFirst = false;
    juce::MessageManager::callAsync (
        [&]
        {
            wrapper->updateDisplay();
            secondRanInsideFirst = secondDelivered;
        });
    juce::MessageManager::callAsync ([&] { secondDelivered = true; });

    for (int i = 0; i < 3; ++i)
        dispatch (effect, effEditIdle);

    EXPECT_TRUE (secondDelivered);
    EXPECT_FALSE (secondRanInsideFirst);
    EXPECT_EQ (deepest, 1);
    host.onCall = nullptr;
}

TEST_F (EditorOpcodes, ProcessorWithoutAnEditorAnswersNothing)
{
    AEffect* effect = makeEffect (std::make_unique<ProcessorWithoutEditor>());
    EXPECT_EQ (effect->flags & effFlagsHasEditor, 0);
    EXPECT_EQ (wrapper->getEditorController(), nullptr);

    ERect* rect = nullptr;
    EXPECT_EQ (dispatch (effect, effEditGetRect, 0, &rect), 0);
    EXPECT_EQ (dispatch (effect, effEditOpen, 0, &rect), 0);
    EXPECT_EQ (dispatch (effect, effEditIdle), 0);
}
