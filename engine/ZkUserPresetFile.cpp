#include "engine/ZkUserPresetFile.h"

namespace
{
constexpr int readBufferBytes = 8192;

bool isAcceptableDocumentText (const juce::String& text)
{
    // Bounded nesting for the recursive parser, no entity definitions.
    int openings = 0;
    for (auto p = text.getCharPointer(); !p.isEmpty(); ++p)
        if (*p == '<' && ++openings > ZkUserPresetFile::maxMarkupOpenings)
            return false;

    return !text.containsIgnoreCase ("<!DOCTYPE");
}

std::unique_ptr<juce::XmlElement> parseDocument (const juce::MemoryBlock& bytes)
{
    const auto* data = static_cast<const char*> (bytes.getData());
    const auto size = (int)bytes.getSize();

    if (size == 0 || !juce::CharPointer_UTF8::isValidString (data, size))
        return {};

    const auto text = juce::String::fromUTF8 (data, size);

    if (!isAcceptableDocumentText (text))
        return {};

    juce::XmlDocument document (text);
    auto element = document.getDocumentElement();

    if (element == nullptr || document.getLastParseError().isNotEmpty())
        return {};

    return element;
}

/** Reads bytes up to and excluding the next 0 byte into result and leaves the
    stream just after that 0 byte. False when more than maxBytes bytes come
    before it, or when the stream ends before a 0 byte unless endCountsAsZero. */
bool readZeroTerminated (juce::InputStream& stream, int maxBytes, juce::MemoryBlock& result,
                         bool endCountsAsZero = false)
{
    juce::MemoryOutputStream bytes (result, false);

    for (int numRead = 0; numRead <= maxBytes; ++numRead)
    {
        char c = 0;
        if (stream.read (&c, 1) != 1)
            return endCountsAsZero;

        if (c == 0)
            return true;

        bytes.writeByte (c);
    }

    return false;
}
} // namespace

std::unique_ptr<juce::XmlElement> ZkUserPresetFile::readDocument (juce::InputStream& stream)
{
    juce::BufferedInputStream input (stream, readBufferBytes);

    juce::MemoryBlock header;
    if (!readZeroTerminated (input, maxHeaderBytes, header))
        return {};

    const auto headerString = header.toString();
    if (!headerString.startsWith (headerText))
        return {};

    juce::MemoryBlock documentBytes;

    if (headerString.endsWithChar ('c'))
    {
        juce::GZIPDecompressorInputStream inflated (input);
        juce::BufferedInputStream bufferedInflated (inflated, readBufferBytes);

        if (!readZeroTerminated (bufferedInflated, maxDocumentBytes, documentBytes, true))
            return {};
    }
    else if (!readZeroTerminated (input, maxDocumentBytes, documentBytes, true))
    {
        return {};
    }

    return parseDocument (documentBytes);
}

std::unique_ptr<juce::XmlElement> ZkUserPresetFile::readDocument (const juce::File& file)
{
    // The size test comes first: it also keeps pipes and devices, which report
    // no size, from being opened and read.
    const auto size = file.getSize();
    if (!file.existsAsFile() || size < minFileBytes || size > maxFileBytes)
        return {};

    juce::FileInputStream stream (file);
    if (stream.failedToOpen())
        return {};

    return readDocument (stream);
}

juce::String ZkUserPresetFile::createDocumentText (const juce::XmlElement& element)
{
    juce::XmlElement::TextFormat format;
    format.dtd = {};
    format.customEncoding = "UTF-8";
    format.addDefaultHeader = true;
    format.lineWrapLength = 60;
    format.newLineChars = "\r\n";
    return element.toString (format);
}

bool ZkUserPresetFile::write (const juce::File& target, const juce::XmlElement& element, bool compressed)
{
    const auto documentText = createDocumentText (element);

    // A hidden temporary file: its name starts with a dot, so a scan of the
    // folder never lists it, even when a crash leaves it behind.
    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream fileStream (temporary.getFile(), writeBufferBytes);
        if (!fileStream.openedOk())
            return false;

        bool ok = fileStream.writeString (juce::String (headerText) + (compressed ? "c" : ""));

        if (compressed)
        {
            juce::GZIPCompressorOutputStream deflated (fileStream, 9);
            ok = deflated.writeString (documentText) && ok;
            deflated.flush(); // finishes the zlib stream (adds its checksum)
        }
        else
        {
            ok = fileStream.writeString (documentText) && ok;
        }

        fileStream.flush();
        if (!ok || fileStream.getStatus().failed())
            return false;
    }

    return temporary.overwriteTargetFileWithTemporary();
}
