// Numeric character references in a document from outside: the bounded reader
// reads every reference that earlier versions read, one that is ill-formed or
// names no character UTF-8 can carry as U+FFFD, and what it then builds is
// well-formed UTF-8, in attribute values and in element text alike.

#include "engine/ZkXmlCharacterReferences.h"
#include "engine/ZkBoundedXmlReader.h"
#include "engine/ZkUtf8.h"
#include "engine/ZkXmlAttributeValues.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
const ZkBoundedXmlReader::Limits generous{1 << 16, 100, 100, 100};

struct ReferenceCase
{
    std::string reference;
    const char* read; // what it reads as; null: the document is refused
};

class XmlCharacterReference : public ::testing::TestWithParam<ReferenceCase>
{
};

bool isWellFormedUtf8 (const juce::String& text)
{
    return ZkUtf8::isValid (text.toRawUTF8(), std::strlen (text.toRawUTF8()));
}
} // namespace

TEST_P (XmlCharacterReference, TheReaderTakesWhatEarlierVersionsTookAsWellFormedText)
{
    const auto& c = GetParam();
    const std::string documents[] = {"<a name=\"x" + c.reference + "y\"/>", "<a>x" + c.reference + "y</a>"};

    for (const auto& document : documents)
    {
        const auto element = ZkBoundedXmlReader::parse (document.data(), document.size(), generous);
        ASSERT_EQ (element != nullptr, c.read != nullptr) << document;

        if (element != nullptr)
        {
            const auto text = element->hasAttribute ("name") ? element->getStringAttribute ("name")
                                                             : element->getAllSubText();
            EXPECT_EQ (text.toStdString(), "x" + std::string (c.read) + "y") << document;
            EXPECT_TRUE (isWellFormedUtf8 (text)) << document;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (
    References, XmlCharacterReference,
    ::testing::Values (
        ReferenceCase{"&#65;", "A"}, ReferenceCase{"&#x41;", "A"}, ReferenceCase{"&#X41;", "A"},
        ReferenceCase{"&#1;", "\x01"}, ReferenceCase{"&#xD7FF;", "\xed\x9f\xbf"},
        ReferenceCase{"&#xE000;", "\xee\x80\x80"}, ReferenceCase{"&#xFFFD;", "\xef\xbf\xbd"},
        ReferenceCase{"&#x10FFFF;", "\xf4\x8f\xbf\xbf"}, ReferenceCase{"&#1114111;", "\xf4\x8f\xbf\xbf"},
        ReferenceCase{"&#x00000041;", "A"}, ReferenceCase{"&amp;#x110000;", "&#x110000;"},
        // Read by earlier versions as no character or another one.
        ReferenceCase{"&#x110000;", "\xef\xbf\xbd"}, ReferenceCase{"&#1114112;", "\xef\xbf\xbd"},
        ReferenceCase{"&#xD800;", "\xef\xbf\xbd"}, ReferenceCase{"&#xdfff;", "\xef\xbf\xbd"},
        ReferenceCase{"&#55357;&#56832;", "\xef\xbf\xbd\xef\xbf\xbd"},
        ReferenceCase{"&#99999999999;", "\xef\xbf\xbd"}, ReferenceCase{"&#xFFFFFFFF;", "\xef\xbf\xbd"},
        ReferenceCase{"&#4294967361;", "\xef\xbf\xbd"}, ReferenceCase{"&#x;", "\xef\xbf\xbd"},
        ReferenceCase{"&#12a;", "\xef\xbf\xbd"}, ReferenceCase{"&#1#;", "\xef\xbf\xbd"},
        // Refused by earlier versions too.
        ReferenceCase{"&#x100000041;", nullptr}, ReferenceCase{"&#1234567890123;", nullptr},
        ReferenceCase{"&#;", nullptr}, ReferenceCase{"&#-5;", nullptr}, ReferenceCase{"&#x4G;", nullptr},
        ReferenceCase{"&#x41", nullptr}),
    [] (const ::testing::TestParamInfo<ReferenceCase>& param)
    { return "case" + std::to_string (param.index); });

// Markup that the parser reads no reference in is left as it is, so that a
// CDATA value written by hand reads back as written; references in the text
// and attribute values around it, "<!--" inside a value included, are still
// repaired.
TEST (XmlCharacterReferences, OnlyReferencesThatTheParserReadsAreRepaired)
{
    const struct
    {
        std::string document;
        const char* read; // the document element's text, or its attribute "name"
    } cases[] = {
        {"<a><![CDATA[x&#xD800;y]]></a>", "x&#xD800;y"},
        {"<a>&#xD800;<![CDATA[&#xD800;]]>&#xD800;</a>", "\xef\xbf\xbd&#xD800;\xef\xbf\xbd"},
        {"<a name=\"<!--&#xD800;-->\"/>", "<!--\xef\xbf\xbd-->"},
        {"<a b=\"<![CDATA[\">&#xD800;]]></a>", "\xef\xbf\xbd]]>"},
        {"<a><b></b <!-- >&#xD800;--></a>", "\xef\xbf\xbd-->"},
    };

    for (const auto& c : cases)
    {
        const auto element = ZkBoundedXmlReader::parse (c.document.data(), c.document.size(), generous);
        ASSERT_NE (element, nullptr) << c.document;
        const auto text =
            element->hasAttribute ("name") ? element->getStringAttribute ("name") : element->getAllSubText();
        EXPECT_EQ (text.toStdString(), c.read) << c.document;
    }

    // The markup itself, which the writer does not keep, is left as written too.
    for (const auto* document : {"<?xml version=\"1.0\" x=\"&#xD800;\"?><a/>", "<!--&#xD800;--><a/>"})
        EXPECT_EQ (ZkXmlCharacterReferences::repair (document), juce::String (document));
}

// Attribute values long enough that the reader decodes their references
// itself (ZkXmlAttributeValues) read as the framework's parser reads them:
// duplicate names, references in any letter case, code point 0, values of
// nested elements and short ones the parser still reads, and nothing after
// the document element. References it refuses are refused.
TEST (XmlAttributeValues, LongValuesReadAsTheParserReadsThem)
{
    const auto longValue = [] (const std::string& references)
    {
        std::string value;
        for (int i = 0; i < 64; ++i)
            value += references;
        return value;
    };

    const std::string documents[] = {
        "<a x=\"" + longValue ("&amp;&LT;&Gt;&QuOt;&apos;") + "\" x='" +
            longValue ("&#65;&#x42;&#X1F600;&#0;\"") + "' y=\"&amp;\"/>",
        "<a v=\"" + longValue ("x&#0;y") + "\"><b w='" + longValue ("&#233;") +
            "'>&lt;b&gt;</b><b/>\n<b w=\"" + longValue ("&#1114111;") + "\"/></a>",
        "<a v=\"" + longValue ("&lt;") + "\"/><b w=\"" + longValue ("&bogus;") + "\"/>",
    };

    for (const auto& document : documents)
    {
        ASSERT_NE (ZkXmlAttributeValues (document).getTextToParse(), juce::String (document));

        juce::XmlDocument parser (document);
        const auto expected = parser.getDocumentElement();
        ASSERT_TRUE (expected != nullptr && parser.getLastParseError().isEmpty()) << document;

        const auto read = ZkBoundedXmlReader::parse (document.data(), document.size(), generous);
        ASSERT_NE (read, nullptr) << document;
        EXPECT_TRUE (read->isEquivalentTo (expected.get(), false)) << document;
    }

    for (const auto* reference : {"&bogus;", "&#x123456789;", "&#1234567890123;", "&#;", "&#xG;"})
    {
        const auto document = "<a v=\"" + longValue (reference) + "\"/>";
        EXPECT_EQ (ZkBoundedXmlReader::parse (document.data(), document.size(), generous), nullptr)
            << reference;
    }
}

// A megabyte of references in one value reads in one pass: the parser
// allocates the value anew (and copies all of it) for every reference or
// every few that it appends, some 100,000 times here.
TEST (XmlAttributeValues, AMegabyteOfReferencesInOneValueIsReadInOnePass)
{
    const ZkBoundedXmlReader::Limits megabyte{1 << 20, 10, 10, 10};
    const struct
    {
        std::string reference;
        std::string character;
    } cases[] = {{"&#233;", "\xc3\xa9"}, {"&#x1F600;", "\xf0\x9f\x98\x80"}, {"&lt;", "<"}, {"&amp;", "&"}};

    for (const auto& c : cases)
    {
        std::string document = "<a v=\"", expected;
        while (document.size() + c.reference.size() + 3 <= megabyte.maxBytes)
        {
            document += c.reference;
            expected += c.character;
        }
        document += "\"/>";

        const AllocationCounter allocations;
        const auto element = ZkBoundedXmlReader::parse (document.data(), document.size(), megabyte);
        const auto count = allocations.getCount();

        ASSERT_NE (element, nullptr) << c.reference;
        EXPECT_EQ (element->getStringAttribute ("v").toStdString(), expected) << c.reference;
        EXPECT_GT (count, 0u);
        EXPECT_LT (count, 1000u) << c.reference;
    }
}
