// Writes a fixed set of inputs for a fuzz target, made from its seed corpus
// by the kinds of changes a fuzzer makes (bits flipped, bytes replaced,
// inserted and removed, ranges repeated, seeds spliced, markup tokens put in,
// once or thousands of times over).
// The same seeds, count and seed number give the same files on every run, so
// that CI replays exactly the same inputs each time; exploring new inputs is
// the fuzzer's own job, outside CI.
//
//   zk_generate_fuzz_inputs <seed folder> <output folder> <count> <max bytes> [seed number]
//
// The output folder is emptied of earlier inputs first.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using Bytes = std::string;

// Markup and encodings the readers treat specially, and what a lenient
// decoder would read as markup: overlong forms of markup characters in two,
// three and four bytes ("c0 bc" is '<' to it), stray continuation bytes, byte
// order marks of UTF-8 and UTF-16, and 0 bytes.
using namespace std::string_view_literals;

const std::string_view tokens[] = {
    "<"sv,
    ">"sv,
    "</"sv,
    "/>"sv,
    "="sv,
    "\""sv,
    "'"sv,
    "&"sv,
    ";"sv,
    " "sv,
    "<!--"sv,
    "-->"sv,
    "<![CDATA["sv,
    "]]>"sv,
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"sv,
    "<?pi x?>"sv,
    "<!DOCTYPE x>"sv,
    "&amp;"sv,
    "&lt;"sv,
    "&quot;"sv,
    "&#"sv,
    "&#x"sv,
    "&#55357;"sv,
    "&#xFFFD;"sv,
    "&#x110000;"sv,
    "&#0;"sv,
    "\xef\xbb\xbf"sv,
    "\xff\xfe"sv,
    "\xfe\xff"sv,
    "\0"sv,
    "\xed\xa0\xbd"sv,
    "\xc0\xaf"sv,
    "\xc0\xbc"sv,
    "\xc0\xbe"sv,
    "\xc0\xa2"sv,
    "\xc0\xbf"sv,
    "\xc0\xbd"sv,
    "\xc0\xa6"sv,
    "\xe0\x80\xbc"sv,
    "\xe0\x80\xbe"sv,
    "\xe0\x80\xa2"sv,
    "\xe0\x80\xaf"sv,
    "\xf0\x80\x80\xbc"sv,
    "\xf0\x80\x80\xbe"sv,
    "\xf0\x80\x80\xa2"sv,
    "\xf0\x80\x80\xbf"sv,
    "\xc0\xbcn\xc0\xbe"sv,
    "\xe0\x80\xbcn\xe0\x80\xbe"sv,
    "\xf0\x80\x80\xbcn\xf0\x80\x80\xbe"sv,
    "\xc0\xbc?p?\xc0\xbe"sv,
    "\xf0\x80\x80\xbc\xf0\x80\x80\xbfp\xf0\x80\x80\xbf\xf0\x80\x80\xbe"sv,
    "\x80"sv,
    "\xbf"sv,
    "\xf4\x90\x80\x80"sv,
    "\xff"sv,
    "\r\n"sv,
    "\t"sv,
    " name=\""sv,
    " val=\""sv,
    "<n>"sv,
    "<VALUE name=\"x\" val=\"1\"/>"sv,
    "<VALUE name=\"x\"><n>text<n><n/></n></n></VALUE>"sv,
    "<VALUE name=\"x\"><n>t<m a=\"0123456789012345678901234567890123456789012345678901234567890\" "
    "b=\"\"/></n>"
    "</VALUE>"sv,
    "<PROPERTIES>"sv,
    "</PROPERTIES>"sv,
    "<Parameter ParameterName=\"Mix\" Value=\"0.5\"/>"sv,
    "programName=\""sv,
    "Value=\""sv,
    "2.0"sv,
    "-1e30"sv,
    "nan"sv,
    "TELQUARLAB Preset File:::::"sv,
};

class Generator
{
public:
    Generator (std::vector<Bytes> seedInputs, size_t maxBytes, std::uint64_t seed)
        : seeds (std::move (seedInputs))
        , limit (maxBytes)
        , random (seed)
    {
    }

    Bytes next()
    {
        Bytes input = seeds.empty() ? Bytes() : seeds[below (seeds.size())];

        for (size_t changes = 1 + below (4); changes > 0; --changes)
            change (input);

        if (input.size() > limit)
            input.resize (limit);

        return input;
    }

private:
    /** A number in 0..n-1 (0 for n = 0), from mt19937_64's raw numbers only:
        the standard fixes those for every library (not what its
        distributions make of them), so every library gives the same. */
    size_t below (size_t n) { return n == 0 ? 0 : (size_t)(random() % n); }

    void change (Bytes& input)
    {
        const size_t at = below (input.size() + 1);

        switch (below (9))
        {
            case 0:
                if (!input.empty())
                    input[below (input.size())] ^= (char)(1u << below (8));
                break;
            case 1:
                if (!input.empty())
                    input[below (input.size())] = (char)below (256);
                break;
            case 2:
                input.insert (at, tokens[below (std::size (tokens))]);
                break;
            case 3:
                input.erase (at, 1 + below (16));
                break;
            case 4: // a range repeated elsewhere
            {
                if (input.empty())
                    break;
                const size_t from = below (input.size());
                const Bytes range = input.substr (from, 1 + below (64));
                input.insert (below (input.size() + 1), range);
                break;
            }
            case 5: // the rest from another seed
            {
                if (seeds.empty())
                    break;
                const auto& other = seeds[below (seeds.size())];
                input = input.substr (0, at) + other.substr (below (other.size() + 1));
                break;
            }
            case 6:
                input.resize (at);
                break;
            case 7: // nesting, written any way
            {
                const auto token = tokens[below (std::size (tokens))];
                Bytes repeated;
                for (size_t times = 1 + below (4096); times > 0 && repeated.size() < limit; --times)
                    repeated += token;
                input.insert (at, repeated);
                break;
            }
            default:
                input.insert (at, 1 + below (4), tokens[below (std::size (tokens))][0]);
                break;
        }
    }

    const std::vector<Bytes> seeds;
    const size_t limit;
    std::mt19937_64 random;
};

std::vector<Bytes> readSeeds (const fs::path& folder)
{
    std::vector<fs::path> paths;

    for (const auto& entry : fs::directory_iterator (folder))
        if (entry.is_regular_file())
            paths.push_back (entry.path());

    std::sort (paths.begin(), paths.end()); // the order of a folder listing is not fixed

    std::vector<Bytes> seeds;

    for (const auto& path : paths)
    {
        std::ifstream in (path, std::ios::binary);
        seeds.emplace_back (std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char>());
    }

    return seeds;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 5 && argc != 6)
    {
        std::fprintf (stderr, "usage: %s <seed folder> <output folder> <count> <max bytes> [seed number]\n",
                      argv[0]);
        return 2;
    }

    const fs::path output (argv[2]);
    const long count = std::strtol (argv[3], nullptr, 10);
    const long maxBytes = std::strtol (argv[4], nullptr, 10);
    const auto seed = argc == 6 ? std::strtoull (argv[5], nullptr, 10) : 1ull;

    if (count < 0 || maxBytes <= 0)
    {
        std::fprintf (stderr, "count and max bytes must be positive\n");
        return 2;
    }

    std::error_code error;
    fs::remove_all (output, error);
    fs::create_directories (output, error);

    if (error)
    {
        std::fprintf (stderr, "cannot make %s\n", output.c_str());
        return 1;
    }

    Generator generator (readSeeds (argv[1]), (size_t)maxBytes, seed);

    for (long i = 0; i < count; ++i)
    {
        char name[32];
        std::snprintf (name, sizeof (name), "generated-%05ld", i);
        const auto input = generator.next();
        std::ofstream out (output / name, std::ios::binary);

        if (!out.write (input.data(), (std::streamsize)input.size()))
        {
            std::fprintf (stderr, "cannot write %s\n", (output / name).c_str());
            return 1;
        }
    }

    return 0;
}
