// Numeric character references in a document from outside: the bounded reader
// takes one only when it names a character UTF-8 can carry, and what it then
// builds is well-formed UTF-8, in attribute values and in element text alike.

#include "engine/ZkXmlCharacterReferences.h"
#include "engine/ZkBoundedXmlReader.h"
#include "engine/ZkUtf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
const ZkBoundedXmlReader::Limits generous{1 << 16, 100, 100};

struct ReferenceCase
{
    std::string reference;
    bool wellFormed;
};

class XmlCharacterReference : public ::testing::TestWithParam<ReferenceCase>
{
};

bool isWellFormedUtf8 (const juce::String& text)
{
    return ZkUtf8::isValid (text.toRawUTF8(), std::strlen (text.toRawUTF8()));
}
} // namespace

TEST_P (XmlCharacterReference, TheReaderTakesOnlyReferencesToCharactersUtf8Carries)
{
    const auto& c = GetParam();
    EXPECT_EQ (ZkXmlCharacterReferences::areAllWellFormed (c.reference.data(), c.reference.size()),
               c.wellFormed)
        << c.reference;

    const std::string documents[] = {"<a name=\"x" + c.reference + "y\"/>", "<a>x" + c.reference + "y</a>"};

    for (const auto& document : documents)
    {
        const auto element = ZkBoundedXmlReader::parse (document.data(), document.size(), generous);
        EXPECT_EQ (element != nullptr, c.wellFormed) << document;

        if (element != nullptr)
        {
            EXPECT_TRUE (isWellFormedUtf8 (element->getStringAttribute ("name"))) << document;
            EXPECT_TRUE (isWellFormedUtf8 (element->getAllSubText())) << document;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (
    References, XmlCharacterReference,
    ::testing::Values (
        ReferenceCase{"&#65;", true}, ReferenceCase{"&#x41;", true}, ReferenceCase{"&#X41;", true},
        ReferenceCase{"&#1;", true}, ReferenceCase{"&#xD7FF;", true}, ReferenceCase{"&#xE000;", true},
        ReferenceCase{"&#xFFFD;", true}, ReferenceCase{"&#x10FFFF;", true}, ReferenceCase{"&#1114111;", true},
        ReferenceCase{"&#x00000041;", true}, ReferenceCase{"&amp;#x110000;", true},
        ReferenceCase{"&#x110000;", false}, ReferenceCase{"&#1114112;", false},
        ReferenceCase{"&#xD800;", false}, ReferenceCase{"&#xdfff;", false}, ReferenceCase{"&#55296;", false},
        ReferenceCase{"&#99999999999;", false}, ReferenceCase{"&#xFFFFFFFF;", false},
        ReferenceCase{"&#x100000041;", false}, ReferenceCase{"&#4294967361;", false},
        ReferenceCase{"&#;", false}, ReferenceCase{"&#x;", false}, ReferenceCase{"&#12a;", false},
        ReferenceCase{"&#-5;", false}, ReferenceCase{"&#x4G;", false}),
    [] (const ::testing::TestParamInfo<ReferenceCase>& param)
    { return "case" + std::to_string (param.index); });

TEST (XmlCharacterReference, AReferenceCutOffByTheEndOfTheTextIsNotWellFormed)
{
    const std::string text = "abc&#x41";
    EXPECT_FALSE (ZkXmlCharacterReferences::areAllWellFormed (text.data(), text.size()));
    EXPECT_TRUE (ZkXmlCharacterReferences::areAllWellFormed (text.data(), 3));
    EXPECT_TRUE (ZkXmlCharacterReferences::areAllWellFormed ("&", 1));
}
