#include "validation/ChunkMutator.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
std::uint32_t readLittleEndian (const unsigned char* bytes)
{
    return static_cast<std::uint32_t> (bytes[0]) | static_cast<std::uint32_t> (bytes[1]) << 8 |
           static_cast<std::uint32_t> (bytes[2]) << 16 | static_cast<std::uint32_t> (bytes[3]) << 24;
}

void writeLittleEndian (unsigned char* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char> (value >> (8 * i));
}

// Where the values of the XML text's attributes start and end: [first, second).
std::vector<std::pair<std::size_t, std::size_t>> attributeValues (const std::string& xml)
{
    std::vector<std::pair<std::size_t, std::size_t>> values;
    for (std::size_t at = xml.find ("=\""); at != std::string::npos; at = xml.find ("=\"", at + 2))
    {
        const std::size_t end = xml.find ('"', at + 2);
        if (end == std::string::npos)
            break;
        values.emplace_back (at + 2, end);
    }
    return values;
}
} // namespace

ChunkMutator::ChunkMutator (Bytes validChunk, std::uint32_t seed)
    : valid (std::move (validChunk))
    , magic (valid.size() >= 4 ? readLittleEndian (valid.data()) : 0)
    , random (seed)
{
    if (valid.size() > 9)
    {
        const std::size_t length =
            std::min<std::size_t> (readLittleEndian (valid.data() + 4), valid.size() - 8);
        xml.assign (reinterpret_cast<const char*> (valid.data() + 8), length);
    }
}

std::size_t ChunkMutator::pick (std::size_t count)
{
    return count == 0 ? 0 : std::uniform_int_distribution<std::size_t> (0, count - 1) (random);
}

ChunkMutator::Bytes ChunkMutator::wrap (const std::string& text, std::uint32_t magicToUse)
{
    Bytes chunk (8 + text.size() + 1, 0);
    writeLittleEndian (chunk.data(), magicToUse);
    writeLittleEndian (chunk.data() + 4, static_cast<std::uint32_t> (text.size()));
    std::memcpy (chunk.data() + 8, text.data(), text.size());
    return chunk;
}

ChunkMutator::Bytes ChunkMutator::withAttribute (const std::string& name, const std::string& value) const
{
    std::string text = xml;
    const auto start = text.find (" " + name + "=\"");
    if (start == std::string::npos)
        return valid;

    const auto valueStart = start + name.size() + 3;
    text.replace (valueStart, text.find ('"', valueStart) - valueStart, value);
    return wrap (text, magic);
}

ChunkMutator::Bytes ChunkMutator::next()
{
    switch (pick (9))
    {
        case 0:
            return flipBytes();
        case 1:
            return cutAnywhere();
        case 2:
            return extend();
        case 3:
            return lieAboutTheLength();
        case 4:
            return dropAttributes();
        case 5:
            return withWrongMagic();
        default:
            return replaceValues(); // the most searching kind, so the most frequent
    }
}

ChunkMutator::Bytes ChunkMutator::flipBytes()
{
    Bytes chunk = valid;
    const std::size_t count = 1 + pick (16);
    for (std::size_t i = 0; i < count; ++i)
        chunk[pick (chunk.size())] ^= static_cast<unsigned char> (1 + pick (255));
    description = std::to_string (count) + " bytes flipped";
    return chunk;
}

ChunkMutator::Bytes ChunkMutator::cutAnywhere()
{
    const std::size_t size = pick (valid.size());
    description = "cut to " + std::to_string (size) + " bytes";
    return Bytes (valid.begin(), valid.begin() + static_cast<std::ptrdiff_t> (size));
}

ChunkMutator::Bytes ChunkMutator::cutInsideTheText()
{
    const std::size_t size = 8 + 1 + pick (xml.size() - 2);
    description = "cut inside the text, to " + std::to_string (size) + " bytes";
    return Bytes (valid.begin(), valid.begin() + static_cast<std::ptrdiff_t> (size));
}

ChunkMutator::Bytes ChunkMutator::cutInsideTheHeader()
{
    const std::size_t size = pick (9);
    description = "cut inside the header, to " + std::to_string (size) + " bytes";
    return Bytes (valid.begin(), valid.begin() + static_cast<std::ptrdiff_t> (size));
}

ChunkMutator::Bytes ChunkMutator::extend()
{
    Bytes chunk = valid;
    const std::size_t count = 1 + pick (4096);
    for (std::size_t i = 0; i < count; ++i)
        chunk.push_back (static_cast<unsigned char> (pick (256)));
    description = std::to_string (count) + " bytes of garbage appended";
    return chunk;
}

ChunkMutator::Bytes ChunkMutator::lieAboutTheLength()
{
    const std::uint32_t lengths[] = {0u,
                                     1u,
                                     static_cast<std::uint32_t> (xml.size() / 2),
                                     static_cast<std::uint32_t> (xml.size() + 1),
                                     static_cast<std::uint32_t> (xml.size() + 1000),
                                     0x7fffffffu,
                                     0x80000000u,
                                     0xffffffffu};
    Bytes chunk = valid;
    const std::uint32_t length = lengths[pick (8)];
    writeLittleEndian (chunk.data() + 4, length);
    description = "header length " + std::to_string (length);
    return chunk;
}

ChunkMutator::Bytes ChunkMutator::withWrongMagic()
{
    Bytes chunk = valid;
    writeLittleEndian (chunk.data(), magic ^ (1u << pick (32)));
    description = "wrong magic";
    return chunk;
}

ChunkMutator::Bytes ChunkMutator::replaceValues()
{
    static const char* const badValues[] = {
        "nan",         "NaN",   "-nan",  "inf", "-inf", "1e999",        "-1e999",
        "1e30",        "-1e30", "1e-45", "",    "abc",  "0x7fffffff",   "99999999999999999999",
        "-2147483649", "1.5",   "-0.5",  "2",   "-1",   "\xff\xfe\xfd", "&amp;&lt;",
        " 0.5 ",
    };
    constexpr std::size_t numBadValues = sizeof (badValues) / sizeof (badValues[0]);

    std::string text = xml;
    auto values = attributeValues (text);
    const std::size_t count = 1 + pick (values.size());

    // Back to front, so that earlier positions stay valid.
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < count; ++i)
        chosen.push_back (pick (values.size()));
    std::sort (chosen.begin(), chosen.end());
    chosen.erase (std::unique (chosen.begin(), chosen.end()), chosen.end());

    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it)
    {
        const auto [start, end] = values[*it];
        text.replace (start, end - start, badValues[pick (numBadValues)]);
    }

    description = std::to_string (chosen.size()) + " attribute values replaced by bad ones";
    return wrap (text, magic);
}

ChunkMutator::Bytes ChunkMutator::dropAttributes()
{
    std::string text = xml;
    auto values = attributeValues (text);
    const std::size_t count = 1 + pick (values.size());
    std::size_t dropped = 0;

    for (std::size_t i = 0; i < count && !values.empty(); ++i)
    {
        const std::size_t which = pick (values.size());
        const auto [valueStart, valueEnd] = values[which];

        // Back from the value's opening quote to the space before the name.
        const std::size_t nameStart = text.rfind (' ', valueStart - 2);
        if (nameStart == std::string::npos)
            continue;
        text.erase (nameStart, valueEnd + 1 - nameStart);
        values = attributeValues (text);
        ++dropped;
    }

    description = std::to_string (dropped) + " attributes dropped";
    return wrap (text, magic);
}
