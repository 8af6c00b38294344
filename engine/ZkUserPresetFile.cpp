#include "engine/ZkUserPresetFile.h"

#include "engine/ZkRegularFileReader.h"
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

namespace
{
/** The document of the preset file read in bytes. */
std::unique_ptr<juce::XmlElement> documentOf (const ZkRegularFileReader::Result& read)
{
    if (read.outcome != ZkRegularFileReader::Outcome::read ||
        read.bytes.getSize() < (size_t)ZkUserPresetFile::minFileBytes)
        return {};

    juce::MemoryInputStream stream (read.bytes, false);
    return ZkUserPresetFile::readDocument (stream);
}
} // namespace

std::unique_ptr<juce::XmlElement> ZkUserPresetFile::readDocument (const juce::File& file)
{
    // One bounded read of a regular file: a pipe or a device put in its
    // place is never opened.
    return documentOf (ZkRegularFileReader::read (file, (size_t)maxFileBytes));
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

    if (!ok)
        return false;

    // Only the file read here is replaced (a file the user chose to save
    // over), and nothing that appears where none was. A link in the presets
    // folder is written through only to a preset: a pack from elsewhere may
    // hold a link to any file of the user's; any other link is replaced
    // itself. The reading is held until the write is done (its identity
    // keeps the file open).
    const auto onDisk = ZkRegularFileReader::read (target, (size_t)maxFileBytes);
    const bool replaceable = documentOf (onDisk) != nullptr || !target.isSymbolicLink();
    return ZkSafeFileWriter::write (target, bytes.getData(), bytes.getDataSize(),
                                    replaceable ? onDisk.identity : std::nullopt);
}
