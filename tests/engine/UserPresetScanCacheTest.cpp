// The scan of the presets folder checks only files that are new or changed
// since it last checked them, and forgets files that are gone.

#include <gtest/gtest.h>

#include "engine/ZkUserPresetScanCache.h"
#include "support/TemporaryHome.h"

#include <atomic>
#include <thread>
#include <vector>

namespace
{
// A time long past, as the files of a presets folder mostly have.
const juce::Time longAgo ((juce::int64)1600000000 * 1000);

class UserPresetScanCacheTest : public ::testing::Test
{
protected:
    TemporaryHome home;
    juce::File folder = home.getFolder().getChildFile ("presets");
    juce::StringArray checked; // names of the files checked by the last scan

    // Files whose text starts with "valid" count as valid presets.
    ZkUserPresetScanCache cache{[this] (const juce::File& file)
                                {
                                    checked.add (file.getFileName());
                                    return file.loadFileAsString().startsWith ("valid");
                                }};

    void SetUp() override { ASSERT_TRUE (folder.createDirectory().wasOk()); }

    void write (const juce::String& fileName, const juce::String& text, juce::Time modified = longAgo)
    {
        const auto file = folder.getChildFile (fileName);
        ASSERT_TRUE (file.replaceWithText (text));
        if (modified != juce::Time())
        {
            ASSERT_TRUE (file.setLastModificationTime (modified));
        }
    }

    juce::StringArray scan (const juce::File& scanned)
    {
        checked.clear();
        auto names = cache.scan (scanned);
        names.sort (false);
        checked.sort (false);
        return names;
    }

    juce::StringArray scan() { return scan (folder); }
};

juce::StringArray names (std::initializer_list<const char*> list)
{
    return juce::StringArray (list.begin(), (int)list.size());
}
} // namespace

TEST_F (UserPresetScanCacheTest, OnlyNewOrChangedFilesAreCheckedAgain)
{
    write ("A.zkp", "valid a");
    write ("B.zkp", "valid b");
    write ("C.zkp", "invalid");
    write ("Other.txt", "valid");
    ASSERT_TRUE (folder.getChildFile ("Sub.zkp").createDirectory().wasOk());

    EXPECT_EQ (scan(), names ({"A", "B"}));
    EXPECT_EQ (checked, names ({"A.zkp", "B.zkp", "C.zkp"}));

    EXPECT_EQ (scan(), names ({"A", "B"}));
    EXPECT_EQ (checked, juce::StringArray());

    // Another size, at the same time.
    write ("B.zkp", "broken now");
    EXPECT_EQ (scan(), names ({"A"}));
    EXPECT_EQ (checked, names ({"B.zkp"}));

    // The same size and file, another time.
    {
        juce::FileOutputStream out (folder.getChildFile ("A.zkp"));
        ASSERT_TRUE (out.openedOk() && out.setPosition (0) &&
                     out.writeText ("broke a", false, false, nullptr));
    }
    ASSERT_TRUE (
        folder.getChildFile ("A.zkp").setLastModificationTime (longAgo + juce::RelativeTime::seconds (10)));
    EXPECT_EQ (scan(), names ({}));
    EXPECT_EQ (checked, names ({"A.zkp"}));

    // The same size and time, but another file put in its place.
    const auto replacement = folder.getChildFile ("replacement");
    ASSERT_TRUE (replacement.replaceWithText ("valid!!"));
    ASSERT_TRUE (replacement.moveFileTo (folder.getChildFile ("C.zkp")));
    ASSERT_TRUE (folder.getChildFile ("C.zkp").setLastModificationTime (longAgo));
    EXPECT_EQ (scan(), names ({"C"}));
    EXPECT_EQ (checked, names ({"C.zkp"}));

    // A new file is picked up; a deleted one is gone from the list and, made
    // again with the same text and time, is checked anew.
    write ("D.zkp", "valid d");
    ASSERT_TRUE (folder.getChildFile ("C.zkp").deleteFile());
    EXPECT_EQ (scan(), names ({"D"}));
    EXPECT_EQ (checked, names ({"D.zkp"}));

    write ("C.zkp", "invalid");
    EXPECT_EQ (scan(), names ({"D"}));
    EXPECT_EQ (checked, names ({"C.zkp"}));
}

TEST_F (UserPresetScanCacheTest, FilesChangedInTheLastSecondsAreCheckedOnEveryScan)
{
    write ("Young.zkp", "valid", juce::Time());
    write ("Old.zkp", "valid");

    EXPECT_EQ (scan(), names ({"Old", "Young"}));
    EXPECT_EQ (checked, names ({"Old.zkp", "Young.zkp"}));
    EXPECT_EQ (scan(), names ({"Old", "Young"}));
    EXPECT_EQ (checked, names ({"Young.zkp"}));

    ASSERT_TRUE (folder.getChildFile ("Young.zkp").setLastModificationTime (longAgo));
    scan();
    EXPECT_EQ (checked, names ({"Young.zkp"}));
    scan();
    EXPECT_EQ (checked, juce::StringArray());
}

TEST_F (UserPresetScanCacheTest, FoldersAreKeptApartAndAFolderThatGoesListsNothing)
{
    const auto other = home.getFolder().getChildFile ("other");
    ASSERT_TRUE (other.createDirectory().wasOk());
    write ("Same.zkp", "valid");
    ASSERT_TRUE (other.getChildFile ("Same.zkp").replaceWithText ("broken"));

    EXPECT_EQ (scan (folder), names ({"Same"}));
    EXPECT_EQ (scan (other), names ({}));
    EXPECT_EQ (checked, names ({"Same.zkp"}));

    ASSERT_TRUE (folder.deleteRecursively());
    EXPECT_EQ (scan (folder), names ({}));
    EXPECT_EQ (scan (juce::File()), names ({}));
    EXPECT_EQ (scan (folder.getChildFile ("not a folder")), names ({}));
}

// Processors of one process share a cache and may scan from several threads.
TEST (UserPresetScanCacheThreadsTest, ConcurrentScansAgreeAndCheckEachFileOnce)
{
    TemporaryHome home;
    const auto folder = home.getFolder().getChildFile ("presets");
    ASSERT_TRUE (folder.createDirectory().wasOk());

    constexpr int numFiles = 300;
    for (int i = 0; i < numFiles; ++i)
    {
        const auto file = folder.getChildFile ("P" + juce::String (i) + ".zkp");
        ASSERT_TRUE (file.replaceWithText (i % 3 == 0 ? "broken" : "valid"));
        ASSERT_TRUE (file.setLastModificationTime (longAgo));
    }

    std::atomic<int> numChecks{0};
    ZkUserPresetScanCache cache (
        [&numChecks] (const juce::File& file)
        {
            ++numChecks;
            return file.loadFileAsString() == "valid";
        });

    constexpr int numThreads = 4, numScans = 10;
    std::vector<int> listed (numThreads * numScans, -1);
    std::vector<std::thread> threads;

    for (int t = 0; t < numThreads; ++t)
        threads.emplace_back (
            [&, t]
            {
                for (int s = 0; s < numScans; ++s)
                    listed[(size_t)(t * numScans + s)] = cache.scan (folder).size();
            });

    for (auto& thread : threads)
        thread.join();

    for (const auto count : listed)
        EXPECT_EQ (count, numFiles - (numFiles + 2) / 3);

    // A file is checked again only by scans that began before its verdict was kept.
    EXPECT_LE (numChecks.load(), numThreads * numFiles);

    numChecks = 0;
    EXPECT_EQ (cache.scan (folder).size(), numFiles - (numFiles + 2) / 3);
    EXPECT_EQ (numChecks.load(), 0);
}
