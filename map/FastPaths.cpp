#include "FastPaths.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, TFastPath>, 8> PathNames{{
    {"kernels", TFastPath::Kernels},
    {"blend", TFastPath::Blend},
    {"threads", TFastPath::Threads},
    {"hugepages", TFastPath::HugePages},
    {"pool", TFastPath::Pool},
    {"ahead", TFastPath::Ahead},
    {"tiles", TFastPath::Tiles},
    {"labels", TFastPath::LabelCache},
}};

unsigned PlainFromEnvironment()
{
#ifdef KELDERWYN_PLAIN
    return AllFastPaths;
#else
    const char* value = std::getenv("KELDERWYN_PLAIN");
    return value ? PlainPathsNamedBy(value) : 0;
#endif
}

std::atomic<unsigned>& PlainPaths()
{
    static std::atomic<unsigned> paths{PlainFromEnvironment()};
    return paths;
}

} // namespace

unsigned PlainPathsNamedBy(std::string_view value)
{
    if (value.empty() || value == "0")
        return 0;
    unsigned paths = 0;
    while (true) {
        const std::size_t comma = value.find(',');
        const std::string_view name = value.substr(0, comma);
        bool known = false;
        for (const auto& [pathName, path] : PathNames)
            if (name == pathName) {
                paths |= static_cast<unsigned>(path);
                known = true;
            }
        if (!known)
            return AllFastPaths;
        if (comma == std::string_view::npos)
            return paths;
        value.remove_prefix(comma + 1);
    }
}

bool UseFastPath(TFastPath path)
{
    return (PlainPaths().load(std::memory_order_relaxed) & static_cast<unsigned>(path)) == 0;
}

TPlainTwins::TPlainTwins(unsigned paths) : FSaved(PlainPaths().fetch_or(paths))
{
}

TPlainTwins::~TPlainTwins()
{
    PlainPaths().store(FSaved);
}
