// How deep XML from outside may nest, followed as the framework's parser reads
// the markup: what the parser steps over (comments, character data, quoted
// values, references) neither deepens nor ends an element, markup the parser
// could read either way is refused, and nothing the scan accepts parses into
// a deeper tree than it allows.

#include "engine/ZkBoundedXmlReader.h"
#include "engine/ZkXmlNestingScan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr int testDepth = 3;

// The depth of a parsed tree, walked without recursion.
int depthOf (const juce::XmlElement& root)
{
    int deepest = 0;
    std::vector<std::pair<const juce::XmlElement*, int>> pending{{&root, 1}};

    while (!pending.empty())
    {
        const auto [element, depth] = pending.back();
        pending.pop_back();
        deepest = std::max (deepest, depth);

        for (auto* child : element->getChildIterator())
            if (!child->isTextElement())
                pending.emplace_back (child, depth + 1);
    }

    return deepest;
}

struct ScanCase
{
    const char* name;
    std::string text;
    bool accepted;
};

class XmlNestingScan : public ::testing::TestWithParam<ScanCase>
{
};

TEST_P (XmlNestingScan, FollowsTheParser)
{
    const auto& scanCase = GetParam();
    const bool accepted = ZkXmlNestingScan::isWithin (scanCase.text.data(), scanCase.text.size(), testDepth);
    EXPECT_EQ (accepted, scanCase.accepted);

    // Whatever the scan lets through parses no deeper than it allows.
    if (auto parsed = accepted ? juce::parseXML (scanCase.text) : nullptr)
    {
        EXPECT_LE (depthOf (*parsed), testDepth);
    }
}

const std::string deepest = "<a><b><c/></b></a>";
const std::string tooDeep = "<a><b><c><d/></c></b></a>";

INSTANTIATE_TEST_SUITE_P (
    Cases, XmlNestingScan,
    ::testing::Values (
        ScanCase{"Deepest", deepest, true}, ScanCase{"DeepestWithEndTags", "<a><b><c>text</c></b></a>", true},
        ScanCase{"SiblingsDoNotAddUp", "<a><b/><b><c/></b><b x='1'><c></c></b></a>", true},
        ScanCase{"WithDeclarationAndOrderMark", "\xef\xbb\xbf<?xml version=\"1.0\"?>\r\n" + deepest, true},
        ScanCase{"CommentsBeforeAndInside", "<!-- <x><y> --><a><!-- <b><c><d> --><b><c/></b></a>", true},
        ScanCase{"MarkupInQuotedValues", "<a x=\"<b><c><d>\" y='</a></a>'><b><c/></b></a>", true},
        ScanCase{"MarkupInCharacterData", "<a><![CDATA[<b><c><d>]]><b><c/></b></a>", true},
        ScanCase{"References", "<a v=\"&amp;&#x3c;&quot;\">&lt;&#10;<b><c>&gt;</c></b></a>", true},
        ScanCase{"NothingAfterTheDocumentElementIsRead", "<a/>" + tooDeep + "&", true},
        ScanCase{"TooDeep", tooDeep, false},
        ScanCase{"TooDeepAfterSiblings", "<a><b/><b><c/></b><b><c><d/></c></b></a>", false},
        ScanCase{"EndTagsInCommentsDoNotCount", "<a><!-- </a></a> --><b><c><d/></c></b></a>", false},
        ScanCase{"EndTagsInCharacterDataDoNotCount", "<a><![CDATA[</a></a>]]><b><c><d/></c></b></a>", false},
        ScanCase{"EndTagsInValuesDoNotCount", "<a x=\"</a></a>\"><b><c><d/></c></b></a>", false},
        ScanCase{"AReferenceThatHidesEndTags", "<a>&x</a></a>;<b><c><d/></c></b></a>", false},
        ScanCase{"ANumberThatHidesEndTags", "<a>&#1</a></a>;<b><c/></b></a>", false},
        ScanCase{"AStrayAmpersand", "<a>fish & chips</a>", false},
        ScanCase{"AQuoteWithoutEquals", "<a><b x'y><c><d/></c></b></a>", false},
        ScanCase{"AValueWithoutName", "<a =\"<b>\"><b><c/></b></a>", false},
        ScanCase{"ACommentInsideATag", "<a <!-- x --> y=\"1\"/>", false},
        ScanCase{"AnUnterminatedComment", "<a><!-- <b>", false},
        ScanCase{"TextBeforeTheDocumentElement", "x<a/>", false},
        ScanCase{"AnEndTagFirst", "</a><a/>", false},
        ScanCase{"CharacterDataFirst", "<![CDATA[x]]><a/>", false}),
    [] (const ::testing::TestParamInfo<ScanCase>& param) { return std::string (param.param.name); });

// The reader applies its depth to every document: the plug-in's own nest 3
// deep, and far deeper ones stay far below what a small thread stack holds.
TEST (BoundedXmlReaderDepth, AcceptsItsDepthAndRefusesOneMore)
{
    const ZkBoundedXmlReader::Limits limits{1 << 20, 1000, 1000, 1000};
    const auto nested = [] (int depth)
    {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += "<e>";
        for (int i = 0; i < depth; ++i)
            text += "</e>";
        return text;
    };

    const auto deepestText = nested (ZkBoundedXmlReader::maxDepth);
    const auto parsed = ZkBoundedXmlReader::parse (deepestText.data(), deepestText.size(), limits);
    ASSERT_NE (parsed, nullptr);
    EXPECT_EQ (depthOf (*parsed), ZkBoundedXmlReader::maxDepth);

    const auto tooDeepText = nested (ZkBoundedXmlReader::maxDepth + 1);
    EXPECT_EQ (ZkBoundedXmlReader::parse (tooDeepText.data(), tooDeepText.size(), limits), nullptr);
}
} // namespace

// Markup that the parser steps over, before, inside and after the document
// element, with long values of references in and around it: every scan of
// the reader steps over it where the parser does (ZkXmlMarkup), so the reader
// takes what the parser takes and reads the same tree.
TEST (BoundedXmlReaderMarkup, IsSteppedOverWhereTheParserStepsOverIt)
{
    const ZkBoundedXmlReader::Limits limits{1 << 16, 100, 100, 100};
    std::string references;
    for (int i = 0; i < 100; ++i)
        references += "&lt;&#233;";
    const auto value = "\"" + references + "\"";

    const struct
    {
        std::string document;
        bool accepted;
    } cases[] = {
        {"<![CDATA[x]]><a/>", false},
        {"</x><a/>", false},
        {"<a/><![CDATA[", true},
        {"<a v=" + value + "/></x", true},
        {"<!-- <b v=" + value + "/> --><a v=" + value + "><![CDATA[<c v=" + value + "/>]]><d v=" + value +
             "/></d w=" + value + "></a>",
         true},
        {"<a><!--><b v=" + value + "/>--><c v=" + value + "/></a>", true},
        {"<a v=" + value + "><![CDATA[<b>]]></a>", true},
    };

    for (const auto& c : cases)
    {
        juce::XmlDocument parser (c.document);
        const auto expected = parser.getDocumentElement();
        ASSERT_EQ (expected != nullptr && parser.getLastParseError().isEmpty(), c.accepted) << c.document;

        const auto read = ZkBoundedXmlReader::parse (c.document.data(), c.document.size(), limits);
        ASSERT_EQ (read != nullptr, c.accepted) << c.document;

        if (read != nullptr)
        {
            EXPECT_TRUE (read->isEquivalentTo (expected.get(), false)) << c.document;
        }
    }
}
