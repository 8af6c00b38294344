// Linux VST 2.4 plug-ins by other authors, from Debian's packages
// dpf-plugins-vst, zam-plugins and lsp-plugins-vst. Tests that need one skip
// when its package is not installed.

#pragma once

#include <string>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace thirdparty
{
inline const std::string pingPongPan = "/usr/lib/vst/PingPongPan-vst.so"; // dpf: exports main only
inline const std::string zamGateX2 = "/usr/lib/vst/ZamGateX2-vst.so";     // zam: three inputs
inline const std::string lspCompDelay =
    "/usr/lib/vst/lsp-plugins/comp-delay-stereo.so"; // lsp: VSTPluginMain only

inline bool isInstalled (const std::string& path)
{
    return access (path.c_str(), R_OK) == 0;
}

// Some of these plug-ins leave memory behind when they are closed; that is
// theirs, not the host's, so the leak checker ignores what is allocated on this
// thread while one of these lives.
class LeaksNotCounted
{
public:
#if defined(__SANITIZE_ADDRESS__)
    LeaksNotCounted()
    {
        __lsan_disable();
    }
    ~LeaksNotCounted()
    {
        __lsan_enable();
    }
#endif
};
} // namespace thirdparty

#define ZK_SKIP_UNLESS_INSTALLED(path)                                                                       \
    if (!thirdparty::isInstalled (path))                                                                     \
        GTEST_SKIP() << path                                                                                 \
                     << " is not installed (Debian packages dpf-plugins-vst, zam-plugins, lsp-plugins-vst)"; \
    [[maybe_unused]] const thirdparty::LeaksNotCounted leaksNotCounted
