// Damaged and hostile XML from outside: the bounded reader's limits hold
// exactly, a damaged properties file neither crashes a new instance nor
// survives it, and a chunk with far more attributes than the plug-in writes (or
// markup that would keep the parser busy for ever) is refused before the
// parser or anything else walks it.

#include "PresetTreeTestSupport.h"

#include "engine/ZkBoundedXmlReader.h"
#include "engine/ZkPropertiesFile.h"
#include "engine/ZkUserPresetFile.h"
#include "fuzz/PropertiesFileCheck.h"
#include "support/AllocationCounter.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zktest;

namespace
{
bool parses (const std::string& text, const ZkBoundedXmlReader::Limits& limits)
{
    return ZkBoundedXmlReader::parse (text.data(), text.size(), limits) != nullptr;
}

const ZkBoundedXmlReader::Limits generous{1 << 20, 1000, 1000, 1000};

juce::StringArray keysOnDisk (const juce::File& file)
{
    juce::StringArray keys;
    juce::MemoryBlock bytes;
    file.loadFileAsData (bytes);
    if (auto xml = ZkBoundedXmlReader::parse (static_cast<const char*> (bytes.getData()), bytes.getSize(),
                                              ZkPropertiesFile::fileLimits))
        for (auto* value : xml->getChildIterator())
            keys.add (value->getStringAttribute ("name"));
    return keys;
}
} // namespace

TEST (BoundedXmlReader, EachLimitHoldsToTheUnit)
{
    // Three tags ('<' of the declaration-free element, its child and its end
    // tag), two attributes of two names; the '=', '<' and '>' inside values
    // count as text.
    const std::string text = "<a x=\"1=2\" y='>'><b/></a>";
    const ZkBoundedXmlReader::Limits exact{text.size(), 3, 2, 2};
    ASSERT_TRUE (parses (text, exact));

    auto limits = exact;
    limits.maxBytes -= 1;
    EXPECT_FALSE (parses (text, limits));
    limits = exact;
    limits.maxTags -= 1;
    EXPECT_FALSE (parses (text, limits));
    limits = exact;
    limits.maxAttributes -= 1;
    EXPECT_FALSE (parses (text, limits));
    limits = exact;
    limits.maxAttributeNames -= 1;
    EXPECT_FALSE (parses (text, limits));
}

// The attributes are counted as the parser reads them: a quote inside
// markup that it steps over opens no value that hides the attributes after it.
TEST (BoundedXmlReader, AttributesBehindAQuoteInMarkupCountAsWithoutIt)
{
    const auto document = [] (const std::string& before, int numAttributes)
    {
        std::string attributes;
        for (int i = 0; i < numAttributes; ++i)
            attributes += " a" + std::to_string (i % 32) + "=''";
        return "<?xml version='1.0'?><PROPERTIES>" + before + "<VALUE name='k' val='v'/><VALUE" + attributes +
               "/></PROPERTIES>";
    };
    const auto limits = ZkPropertiesFile::fileLimits;

    for (const std::string before : {"", "<!-- it's -->", "<!-- \" -->", "<![CDATA[ ' ]]>"})
    {
        const auto tooMany = document (before, 3000);
        EXPECT_FALSE (ZkBoundedXmlReader::isWithinLimits (tooMany.data(), tooMany.size(), limits)) << before;

        const auto atTheBound = document (before, limits.maxAttributes - 2);
        EXPECT_TRUE (ZkBoundedXmlReader::isWithinLimits (atTheBound.data(), atTheBound.size(), limits))
            << before;
    }
}

// The parser puts every attribute name into the framework's process-wide
// pool of names: those of a document read and released leave the pool at the
// next reading, so that each document pays for its own names only. A preset
// may hold as many different names as its bound, each of them repeated.
TEST (BoundedXmlReader, AttributeNamesLeaveThePoolWithTheirDocument)
{
    const auto limits = ZkUserPresetFile::documentLimits;
    const auto namesOf = [&limits] (int document)
    {
        std::vector<std::string> names;
        for (int i = 0; i < limits.maxAttributeNames; ++i)
            names.push_back ("pooled" + std::to_string (document) + "_" + std::to_string (i));
        return names;
    };
    const auto element = [] (const std::vector<std::string>& names)
    {
        std::string text = "<a";
        for (const auto& name : names)
            text += " " + name + "='' " + name + "=''";
        return text + "/>";
    };

    // Asking the pool for a name that left it allocates its text anew.
    std::vector<std::string> released, names;
    for (int document = 1; document <= 20; ++document)
    {
        names = namesOf (document);
        ASSERT_TRUE (parses (element (names), limits));
        released.insert (released.end(), names.begin(), names.end());
    }

    const AllocationCounter allocations;
    for (const auto& name : released)
        juce::StringPool::getGlobalPool().getPooledString (name.c_str());
    EXPECT_GE (allocations.getCount(), released.size() - names.size()); // the last document's may stay
}

TEST (BoundedXmlReader, RefusesWhatTheParserHandlesUnsafely)
{
    const std::string deep = "<a>" + juce::String::repeatedString ("<b>", 50000).toStdString();
    const std::string refused[] = {
        "",
        deep,
        "<!doctype a [<!ENTITY e \"x\">]><a v=\"&e;\"/>",
        "<a v=\"\xc3\x28\"/>",               // invalid UTF-8
        std::string ("<a v=\"x\0y\"/>", 12), // a 0 byte inside
        "PROP<a/>",                          // not markup first: the framework reads a binary form
        "<a>x<?p?>y</a>",                    // the parser would never return
    };

    for (const auto& text : refused)
        EXPECT_FALSE (parses (text, generous)) << text.substr (0, 40);

    EXPECT_TRUE (parses ("<?xml version=\"1.0\"?>\r\n<a v=\"\xc3\xa9\"/>", generous));
}

// What the framework's parser could not survive or would spend seconds on, as
// a properties file: every new instance starts from the defaults and leaves a
// good file behind, the damaged one kept as the backup.
TEST (DamagedPropertiesFile, StartsOverWithoutCrashingAndIsReplaced)
{
    const std::string damaged[] = {
        "<PROPERTIES><VALUE name=\"Creator\">" + juce::String::repeatedString ("<a>", 50000).toStdString(),
        "<?xml version=\"1.0\"?><!DOCTYPE PROPERTIES [<!ENTITY a \"aaaaaaaaaa\">]><PROPERTIES/>",
        "<PROPERTIES><VALUE name=\"PropertiesFileVersion\" val=\"101\"/><VALUE name=\"x\" "
        "val=\"\xff\"/></PROPERTIES>",
        "<PROPERTIES><VALUE name=\"PropertiesFileVersion\" val=\"101\"/>" +
            juce::String::repeatedString ("<VALUE name=\"k\" val=\"v\"/>", 3000).toStdString() +
            "</PROPERTIES>",
        std::string ("CPRP\x01\x00\x00\x00", 8) + std::string (2000, 'x'),
        "<PROPERTIES><VALUE name=\"PropertiesFileVersion\" val=\"101\"/><VALUE name=\"pad\" val=\"" +
            std::string ((size_t)ZkPropertiesFile::fileLimits.maxBytes, 'p') + "\"/></PROPERTIES>",
    };

    TemporaryHome home;
    const auto file = home.getPropertiesFile();

    for (const auto& bytes : damaged)
    {
        ASSERT_TRUE (file.getParentDirectory().createDirectory());
        ASSERT_TRUE (file.replaceWithData (bytes.data(), bytes.size()));

        {
            ZkOstinelAudioProcessor processor;
            EXPECT_EQ (processor.getPropertiesFile()->getIntValue ("PropertiesFileVersion"), 101);
            EXPECT_EQ (processor.getDefaultEditorDesktopHeightRatio(), 0.5f);
            EXPECT_FALSE (processor.getPropertiesFile()->containsKey ("k"));
        }

        EXPECT_EQ (keysOnDisk (file)[0], "Creator") << bytes.substr (0, 40);

        juce::MemoryBlock backup;
        EXPECT_TRUE (ZkPropertiesFile::getBackupFile (file).loadFileAsData (backup) &&
                     backup.matches (bytes.data(), bytes.size()))
            << bytes.substr (0, 40);
    }
}

// The fuzz target's seeds, replayed with its own check: real files, damaged
// ones and a deeply nested one.
TEST (DamagedPropertiesFile, EveryCorpusFileKeepsTheInvariants)
{
    const juce::File corpus (juce::String (ZK_FUZZ_CORPUS_DIR) + "/properties");
    ASSERT_TRUE (corpus.isDirectory()) << corpus.getFullPathName();

    TemporaryHome home;
    ZkOstinelAudioProcessor processor;
    int numFiles = 0, numReadable = 0;

    for (const auto& entry : juce::RangedDirectoryIterator (corpus, false, "*", juce::File::findFiles))
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (entry.getFile().loadFileAsData (bytes));
        EXPECT_EQ (checkPropertiesFileBytes (processor, bytes.getData(), bytes.getSize()), juce::String())
            << entry.getFile().getFileName();

        ++numFiles;
        numReadable += ZkBoundedXmlReader::parse (static_cast<const char*> (bytes.getData()), bytes.getSize(),
                                                  ZkPropertiesFile::fileLimits) != nullptr;
    }

    EXPECT_GE (numFiles, 8);
    EXPECT_GE (numReadable, 3);
    EXPECT_LT (numReadable, numFiles);
}

TEST (DamagedStateChunk, FarMoreAttributesThanThePluginWritesAreRefused)
{
    ZkOstinelAudioProcessor source;
    source.setParam ("Mix", 0.25f, juce::sendNotification, startNewTransaction, false);
    const auto text = chunkText (stateOf (source));

    const auto withUnknown = [&text] (int count)
    {
        juce::MemoryOutputStream extra;
        for (int i = 0; i < count; ++i)
            extra << " u" << i << "=\"0\"";
        return chunkAround (text.upToLastOccurrenceOf ("/>", false, false) + extra.toString() + "/>");
    };

    ZkOstinelAudioProcessor p;
    const auto before = stateOf (p);
    restore (p, withUnknown (60000));
    EXPECT_EQ (stateOf (p), before);

    // A processing instruction inside the element would keep the parser busy for ever.
    restore (p, chunkAround ("<ZkPLUGINSETTINGS pluginName=\"ZkOstinel\">x<?p?>y</ZkPLUGINSETTINGS>"));
    EXPECT_EQ (stateOf (p), before);

    // Unknown attributes within the bound are ignored as before.
    restore (p, withUnknown (100));
    EXPECT_EQ (valueOf (p, "Mix"), 0.25f);
}
