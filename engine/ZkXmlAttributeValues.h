#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/**
    Reads long attribute values that hold references in place of the
    framework's parser. The parser appends each reference in a value to the
    value's String, which grows by exactly what it appends, so that every
    reference copies the whole value read so far: its time grows with the
    square of the references in a value (a megabyte of "&#233;" took half a
    second). References in element text go into a stream, each decoded into a
    String of its own first: their time grows with their number alone, and a
    megabyte of them reads in about 1.3 times the time of plain text
    (zk_document_bench, "&#233;" as element text of a preset file).

    The text for the parser (getTextToParse) has such values emptied; the
    values, decoded here in one pass each, go back into the same attributes of
    the tree the parser builds (restore), found by their order in the
    document, so duplicate names stay as they are. Restoring a value walks its
    element's attributes up to its own (the framework keeps them in a list and
    offers no other way to them), so a value is taken only when that walk
    costs less than the parser's copying: when its references times its
    length exceed 512 times its place among its element's attributes. Each
    value then costs the smaller of the two, at most as much as copying it
    sqrt (128 * (place + 1)) times: a megabyte of values on that limit, in
    one element of the 8192 attributes a preset file may hold, reads in about
    twice the time of a plain megabyte.

    A value is decoded as the parser decodes it: "&amp;", "&quot;", "&apos;",
    "&lt;" and "&gt;" in any letter case, and the numeric references that
    ZkXmlCharacterReferences::readNumeric finds well-formed, stand for their
    character (code point 0 for none); any other reference, which the parser
    refuses, makes the text unreadable. So does an ill-formed numeric one
    (no places, places that are not digits, no Unicode scalar value), which
    the parser would write as another character:
    ZkXmlCharacterReferences::repair leaves none of them.

    Only the document element's values are read (the parser reads no further),
    where ZkXmlNestingScan finds them, which reads the markup as the parser
    does: a text whose markup it cannot follow is unreadable. Before it puts
    values back, restore checks that the tree holds as many elements as the
    text's document element, and that each element whose values were taken
    holds as many attributes as its start tag, the emptied ones empty; the
    attributes of other elements are not compared (nothing is put there).
    With no value taken, the tree is the parser's own and nothing is checked.

    Any thread; one object for one text.
*/
class ZkXmlAttributeValues
{
public:
    /** Reads the values of text to take from the parser. */
    explicit ZkXmlAttributeValues (const juce::String& text);

    /** False when a value taken holds a reference that the parser refuses,
        or the text's markup cannot be followed. */
    bool isReadable() const noexcept { return readable; }

    /** The text with each value taken emptied: the text itself when none is. */
    const juce::String& getTextToParse() const noexcept { return textToParse; }

    /** Puts the decoded values into documentElement, which the parser built
        from getTextToParse(). False when the checks above fail (the tree is
        then left partly restored); true without checks when no value was
        taken. */
    bool restore (juce::XmlElement& documentElement) const;

private:
    class Reader;

    struct Value
    {
        int element = 0;             // its element's place among the start tags, 0 for the document element
        int attribute = 0;           // its place among the element's attributes
        int attributesOfElement = 0; // as the text has them
        juce::String text;
    };

    std::vector<Value> values; // in document order
    int numElements = 0;       // start tags in the document element, its own included
    juce::String textToParse;
    bool readable = true;
};
