// Damaged copies of a valid state chunk, as a broken project file, a bad disk
// or another program's data would hand them to the plug-in: flipped bytes,
// cut or extended blocks, a header that lies about the length, attribute
// values that are no numbers (NaN, infinities, huge, empty, text, invalid
// UTF-8) and missing attributes. The chunk's layout: 4 bytes of magic, 4 bytes
// of text length n (both little-endian), n bytes of XML text, a 0.

#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class ChunkMutator
{
public:
    using Bytes = std::vector<unsigned char>;

    ChunkMutator (Bytes validChunk, std::uint32_t seed);

    // A mutation chosen at random; describe() names the last one.
    Bytes next();
    const std::string& describe() const noexcept { return description; }

    // Mutations after which the chunk cannot be read at all.
    Bytes withWrongMagic();
    Bytes cutInsideTheText();
    Bytes cutInsideTheHeader();

    // The valid chunk with the value of the attribute name replaced by value
    // (raw bytes, not escaped), the header's length following; the chunk as it
    // is when it has no such attribute.
    Bytes withAttribute (const std::string& name, const std::string& value) const;

private:
    Bytes flipBytes();
    Bytes cutAnywhere();
    Bytes extend();
    Bytes lieAboutTheLength();
    Bytes replaceValues();
    Bytes dropAttributes();

    // The chunk around new XML text, with a correct header.
    static Bytes wrap (const std::string& xml, std::uint32_t magic);
    std::size_t pick (std::size_t count); // [0, count)

    Bytes valid;
    std::uint32_t magic;
    std::string xml;
    std::mt19937 random;
    std::string description;
};
