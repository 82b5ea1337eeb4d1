#pragma once

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

/**
 * Benchmarks of what a visible window costs need a real X server. The first
 * call starts the benchmark again under xvfb-run with the xcb platform and
 * never returns; inside that run it returns at once.
 */
inline void relaunchUnderXvfb(int argc, char **argv)
{
    if (std::getenv("WRENLOG_BENCH_XVFB"))
        return;
    setenv("WRENLOG_BENCH_XVFB", "1", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::vector<char *> args {const_cast<char *>("xvfb-run"), const_cast<char *>("-a"), const_cast<char *>("-s"),
                              const_cast<char *>("-screen 0 1280x1024x24")};
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::perror("xvfb-run");
    std::exit(1);
}
