#pragma once
// Many files converted at once: the jobs run on threads, each with its own workspace, and
// their messages reach the console whole, one file at a time, prefixed by the file's name.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace zv::cli {

enum class FileOutcome { Converted, Failed, Skipped };

// Converts one file; writes its messages to the stream given (never to the console directly),
// so that it can run beside others. Must not throw.
using ConvertOne = std::function<FileOutcome(const std::string& in, std::ostream& messages)>;

struct BatchOptions {
    int Jobs = 0;          // files converted at the same time; 0: one per hardware thread
    bool Progress = false; // redraw "convert: done/total" on one line (err is a terminal)
};

struct BatchCounts {
    int Converted = 0;
    int Failed = 0;
    int Skipped = 0;
};

// Runs convert for every file, never stopping at a failure. Each file's messages go to err
// after it finished, every line prefixed by "IN: ". With Progress the one progress line is
// cleared before messages and at the end.
BatchCounts RunBatch(const std::vector<std::string>& files, const ConvertOne& convert, const BatchOptions& o,
                     std::ostream& err);

// "converted N, failed M, skipped K"
std::string SummaryLine(const BatchCounts& counts);

} // namespace zv::cli
