#include "engine/params/CvoParameterManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>

namespace
{
// A manager with Bypass, Mix, a second "Mix" and one parameter without a mapper.
struct SmallTable
{
    SmallTable()
    {
        add ("Bypass", CvoParameterValueMapper::MAPPING_BYPASS, 0.0f);
        add ("Mix", CvoParameterValueMapper::MAPPING_PERCENT, 1.0f);
        add ("Mix", CvoParameterValueMapper::MAPPING_PERCENT, 0.5f);
        add ("Plain", CvoParameterValueMapper::MAPPING_NONE, 0.3f);
    }

    void add (const char* name, CvoParameterValueMapper::CvoMappingENUM kind, float value)
    {
        auto* parameter = new CvoParameter (&manager, kind);
        parameter->setName (name);
        parameter->setValue (value);
        parameter->setDefaultValue (value);
        manager.addParameter (parameter);
    }

    CvoParameterManager manager{nullptr};
};

TEST (CvoParameterManager, AnswersOutsideTheListWithoutReadingIt)
{
    SmallTable table;
    auto& m = table.manager;

    for (int index : {-1, -2, std::numeric_limits<int>::min(), 4, 349, std::numeric_limits<int>::max()})
    {
        EXPECT_EQ (m.getParameterName (index), index < 0 ? "invalid parameter" : "reserved");
        EXPECT_TRUE (m.getParameter (index) == nullptr && m.getParameterValue (index) == 0.0f);
        EXPECT_EQ (m.getParameterValueAsText (index), "");
    }
}

TEST (CvoParameterManager, FindsTheFirstExactNameAndItsText)
{
    SmallTable table;
    auto& m = table.manager;

    EXPECT_EQ (m.getParameterIndex ("Bypass"), 0);
    EXPECT_EQ (m.getParameterIndex ("bypass") + m.getParameterIndex ("Bypass "), -2);
    EXPECT_EQ (m.getParameterIndex ("Mix"), 1);
    EXPECT_EQ (m.getParameter ("Mix"), m.getParameter (1));
    EXPECT_EQ (m.getParameter ("nothing"), nullptr);
    EXPECT_EQ (m.getParameter (2)->getIndex(), 2);

    // Texts come from the mapper, or without one are plain float text.
    EXPECT_EQ (m.getParameterValueAsText (0), "BYPASS OFF");
    EXPECT_EQ (m.getParameterValueAsText (1), "100 %");
    EXPECT_EQ (m.getParameter (3)->getValueMapper(), nullptr);
    EXPECT_EQ (m.getParameterValueAsText (3), "0.3");
}

TEST (CvoParameterManager, WritesRaiseThreeFlagsEachReportedOnce)
{
    SmallTable table;
    auto& m = table.manager;

    EXPECT_FALSE (m.getParameterNeedsToBeUpdatedInEditor() || m.getSampleRateNeedsToBeUpdatedInEditor() ||
                  m.getPresetNameNeedsToBeUpdatedInEditor() || m.getUndoButtonsNeedToBeUpdatedInEditor());

    for (int write = 0; write < 2; ++write) // the same value twice raises twice
    {
        m.setParameterValue (1, 0.3f);
        EXPECT_TRUE (m.getParameterNeedsToBeUpdatedInEditor());
        EXPECT_FALSE (m.getParameterNeedsToBeUpdatedInEditor());
        EXPECT_TRUE (m.getPresetNameNeedsToBeUpdatedInEditor());
        EXPECT_TRUE (m.getUndoButtonsNeedToBeUpdatedInEditor());
        EXPECT_FALSE (m.getSampleRateNeedsToBeUpdatedInEditor());
    }

    m.setSampleRateNeedsToBeUpdatedInEditor (true);
    EXPECT_TRUE (m.getSampleRateNeedsToBeUpdatedInEditor());
    EXPECT_FALSE (m.getSampleRateNeedsToBeUpdatedInEditor());
    EXPECT_FALSE (m.getParameterNeedsToBeUpdatedInEditor());
}

TEST (CvoParameterManager, RefusesWritesOutsideTheListAndNonFiniteValues)
{
    SmallTable table;
    auto& m = table.manager;

    m.setParameterValue (4, 0.5f);
    m.setParameterValue (-1, 0.5f);
    m.setParameterValue (1, std::numeric_limits<float>::quiet_NaN());
    m.setParameterValue (1, std::numeric_limits<float>::infinity());
    m.setParameterValue (1, -std::numeric_limits<float>::infinity());

    EXPECT_EQ (m.getParameterValue (1), 1.0f);
    EXPECT_FALSE (m.getParameterNeedsToBeUpdatedInEditor() || m.getPresetNameNeedsToBeUpdatedInEditor() ||
                  m.getUndoButtonsNeedToBeUpdatedInEditor());

    // Finite values outside 0..1 are kept as they are.
    m.setParameterValue (1, -0.3f);
    EXPECT_EQ (m.getParameterValue (1), -0.3f);
}

// A raiser writes increasing values while the message thread polls: every true
// answer stands for at least one write, and the last write is always reported.
TEST (CvoParameterManager, TestAndClearLosesNoRaiseUnderAConcurrentWriter)
{
    SmallTable table;
    auto& m = table.manager;
    constexpr int writes = 200000;
    std::atomic<bool> done{false};

    std::thread raiser (
        [&]
        {
            for (int i = 1; i <= writes; ++i)
                m.setParameterValue (1, static_cast<float> (i));
            done.store (true);
        });

    int reports = 0;
    float lastSeen = 0.0f;

    for (bool finished = false; !finished;)
    {
        finished = done.load();

        if (m.getParameterNeedsToBeUpdatedInEditor())
        {
            ++reports;
            const float value = m.getParameterValue (1);
            EXPECT_GE (value, lastSeen);
            lastSeen = value;
        }
    }

    raiser.join();
    EXPECT_FALSE (m.getParameterNeedsToBeUpdatedInEditor());
    EXPECT_GE (reports, 1);
    EXPECT_LE (reports, writes);
    EXPECT_EQ (lastSeen, static_cast<float> (writes));
}
} // namespace
