// The test host's WAV reader and writer: round trips in every format, the
// conversions at the edges, and files that are damaged or of unknown kinds.

#include "host/FileBytes.h"
#include "host/WavReader.h"
#include "host/WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <unistd.h>

namespace
{
// One name per process: ctest runs the cases of this file side by side.
std::string tempPath (const std::string& name)
{
    return ::testing::TempDir() + "zk_wav_" + std::to_string (getpid()) + "_" + name;
}

WavAudio makeAudio (int numChannels, std::size_t numFrames, double rate)
{
    WavAudio audio;
    audio.sampleRate = rate;
    audio.channels.assign (static_cast<std::size_t> (numChannels), std::vector<float> (numFrames));
    for (int c = 0; c < numChannels; ++c)
        for (std::size_t i = 0; i < numFrames; ++i)
            audio.channels[static_cast<std::size_t> (c)][i] =
                static_cast<float> (0.9 * std::sin (0.01 * static_cast<double> (i) * (c + 1)));
    return audio;
}

struct FormatCase
{
    WavSampleFormat format;
    double step; // one unit of the format [full scale]
};

class WavRoundTrip : public ::testing::TestWithParam<FormatCase>
{
};
} // namespace

TEST_P (WavRoundTrip, KeepsTheSamplesToTheFormatsResolution)
{
    const auto [format, step] = GetParam();
    const auto original = makeAudio (3, 1001, 44100.0); // odd byte counts for 24-bit mono frames too
    const auto path = tempPath ("roundtrip.wav");
    std::string error;

    ASSERT_TRUE (WavWriter::writeFile (path, original, format, error)) << error;

    WavAudio read;
    ASSERT_TRUE (WavReader::read (path, read, error)) << error;
    EXPECT_EQ (read.sampleRate, 44100.0);
    ASSERT_EQ (read.getNumChannels(), 3);
    ASSERT_EQ (read.getNumFrames(), 1001u);

    for (std::size_t c = 0; c < 3; ++c)
        for (std::size_t i = 0; i < 1001; ++i)
        {
            if (format == WavSampleFormat::float32)
                ASSERT_EQ (read.channels[c][i], original.channels[c][i]);
            else
                ASSERT_NEAR (read.channels[c][i], original.channels[c][i], step * 0.5 + 1.0e-7);
        }

    // What was read writes back to the same bytes.
    std::vector<unsigned char> first, second;
    ASSERT_TRUE (FileBytes::read (path, first));
    ASSERT_TRUE (WavWriter::writeFile (path, read, format, error));
    ASSERT_TRUE (FileBytes::read (path, second));
    EXPECT_EQ (first, second);
}

INSTANTIATE_TEST_SUITE_P (Formats, WavRoundTrip,
                          ::testing::Values (FormatCase{WavSampleFormat::pcm16, 1.0 / 32768.0},
                                             FormatCase{WavSampleFormat::pcm24, 1.0 / 8388608.0},
                                             FormatCase{WavSampleFormat::pcm32, 1.0 / 8388608.0},
                                             FormatCase{WavSampleFormat::float32, 0.0}));

TEST (WavWriterEdges, PcmLimitsToFullScaleAndNaNBecomesSilence)
{
    WavAudio audio;
    audio.sampleRate = 48000.0;
    audio.channels = {{2.0f, -2.0f, 1.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                       -std::numeric_limits<float>::infinity()}};
    const auto path = tempPath ("edges.wav");
    std::string error;
    ASSERT_TRUE (WavWriter::writeFile (path, audio, WavSampleFormat::pcm16, error)) << error;

    WavAudio read;
    ASSERT_TRUE (WavReader::read (path, read, error)) << error;
    const std::vector<float> expected{32767.0f / 32768.0f, -1.0f, 32767.0f / 32768.0f, -1.0f, 0.0f, -1.0f};
    EXPECT_EQ (read.channels[0], expected);
}

TEST (WavReaderInput, RefusesWhatItCannotReadAndKeepsWhatACutFileHas)
{
    const auto original = makeAudio (2, 100, 48000.0);
    const auto path = tempPath ("cut.wav");
    std::string error;
    ASSERT_TRUE (WavWriter::writeFile (path, original, WavSampleFormat::pcm16, error));
    std::vector<unsigned char> bytes;
    ASSERT_TRUE (FileBytes::read (path, bytes));

    WavAudio audio;
    // Cut in the middle of frame 50: the 50 whole frames survive.
    EXPECT_TRUE (WavReader::parse (bytes.data(), 44 + 50 * 4 + 3, audio, error));
    EXPECT_EQ (audio.getNumFrames(), 50u);

    // An unknown chunk (odd length, padded) before the data is skipped.
    std::vector<unsigned char> withList (bytes.begin(), bytes.begin() + 36);
    const unsigned char list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    withList.insert (withList.end(), std::begin (list), std::end (list));
    withList.insert (withList.end(), bytes.begin() + 36, bytes.end());
    EXPECT_TRUE (WavReader::parse (withList.data(), withList.size(), audio, error)) << error;
    EXPECT_EQ (audio.getNumFrames(), 100u);
    EXPECT_EQ (audio.channels[1][7], std::round (original.channels[1][7] * 32768.0f) / 32768.0f);

    auto damaged = [&bytes] (std::size_t offset, unsigned char value)
    {
        auto copy = bytes;
        copy[offset] = value;
        return copy;
    };
    struct Bad
    {
        std::vector<unsigned char> file;
        const char* why;
    };
    const Bad bad[] = {
        {damaged (0, 'X'), "no RIFF"},        {damaged (20, 2), "format tag 2"},
        {damaged (34, 12), "12 bits"},        {damaged (22, 0), "no channels"},
        {damaged (32, 3), "block align"},     {damaged (24, 0), "rate 0 (low byte)"},
        {damaged (36, 'x'), "no data chunk"}, {damaged (17, 0xff), "format chunk longer than the file"},
        {{'R', 'I', 'F', 'F'}, "too short"},
    };
    for (const auto& b : bad)
    {
        // The rate 48000 has a non-zero low byte; make the case a real zero rate.
        auto file = b.file;
        if (std::string (b.why).rfind ("rate", 0) == 0)
            std::memset (file.data() + 24, 0, 4);
        EXPECT_FALSE (WavReader::parse (file.data(), file.size(), audio, error)) << b.why;
        EXPECT_EQ (audio.getNumChannels(), 0) << b.why;
    }
    EXPECT_FALSE (WavReader::read (tempPath ("missing.wav"), audio, error));
}

TEST (WavReaderInput, ReadsTheExtensibleFormat)
{
    // 1 channel, 24 bits, extensible chunk with the PCM sub-format.
    std::vector<unsigned char> file = {'R',  'I',  'F', 'F', 0,    0,    0, 0, 'W',  'A',  'V', 'E',
                                       'f',  'm',  't', ' ', 40,   0,    0, 0, 0xfe, 0xff, 1,   0,
                                       0x80, 0xbb, 0,   0,   0x80, 0x32, 2, 0, 3,    0,    24,  0,
                                       22,   0,    24,  0,   4,    0,    0, 0, 1,    0};
    file.resize (file.size() + 14, 0); // rest of the sub-format GUID
    const unsigned char data[] = {'d', 'a', 't', 'a', 6, 0, 0, 0, 0, 0, 0x40, 0, 0, 0xc0};
    file.insert (file.end(), std::begin (data), std::end (data));

    WavAudio audio;
    std::string error;
    ASSERT_TRUE (WavReader::parse (file.data(), file.size(), audio, error)) << error;
    EXPECT_EQ (audio.sampleRate, 48000.0);
    EXPECT_EQ (audio.channels[0], (std::vector<float>{0.5f, -0.5f}));
}
