#include "engine/ZkUserPresetFile.h"

#include "engine/ZkSafeFileWriter.h"

namespace
{
constexpr int readBufferBytes = 8192;

std::unique_ptr<juce::XmlElement> parseDocument (const juce::MemoryBlock& bytes)
{
    return ZkBoundedXmlReader::parse (static_cast<const char*> (bytes.getData()), bytes.getSize(),
                                      ZkUserPresetFile::documentLimits);
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
    // The whole file is made in memory first, so that the file writer can
    // replace target with it in one step or not at all.
    juce::MemoryOutputStream bytes;
    bool ok = bytes.writeString (juce::String (headerText) + (compressed ? "c" : ""));

    if (compressed)
    {
        juce::GZIPCompressorOutputStream deflated (bytes, 9);
        ok = deflated.writeString (createDocumentText (element)) && ok;
        deflated.flush(); // finishes the zlib stream (adds its checksum)
    }
    else
    {
        ok = bytes.writeString (createDocumentText (element)) && ok;
    }

    // A link in the presets folder is written through only to a preset: a pack
    // from elsewhere may hold a link to any file of the user's.
    return ok && ZkSafeFileWriter::write (target, bytes.getData(), bytes.getDataSize(),
                                          [] (const juce::File& linked)
                                          { return readDocument (linked) != nullptr; });
}
