#include "cli/BatchConvert.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <sstream>
#include <thread>

namespace zv::cli {
namespace {

// The console side of a batch: everything a job reports passes here under one lock.
class Reporter {
public:
    Reporter(std::ostream& err, std::size_t total, bool progress)
        : err_(err), total_(total), progress_(progress) {
        Redraw();
    }

    void Finished(const std::string& in, FileOutcome outcome, const std::string& messages) {
        const std::lock_guard lock(mutex_);
        ClearLine();
        std::istringstream lines(messages);
        for (std::string line; std::getline(lines, line);) {
            err_ << in << ": " << line << '\n';
        }
        (outcome == FileOutcome::Converted ? counts_.Converted
         : outcome == FileOutcome::Failed  ? counts_.Failed
                                           : counts_.Skipped)++;
        ++done_;
        Redraw();
    }

    BatchCounts Close() {
        const std::lock_guard lock(mutex_);
        ClearLine();
        err_.flush();
        return counts_;
    }

private:
    void ClearLine() {
        if (progress_) {
            err_ << "\r\x1b[K"; // back to the start of the progress line and erase it
        }
    }
    void Redraw() {
        if (progress_) {
            err_ << "convert: " << done_ << '/' << total_ << std::flush;
        }
    }

    std::mutex mutex_;
    std::ostream& err_;
    std::size_t total_;
    std::size_t done_ = 0;
    bool progress_;
    BatchCounts counts_;
};

FileOutcome RunOne(const ConvertOne& convert, const std::string& in, std::ostream& messages) {
    try {
        return convert(in, messages);
    } catch (const std::exception& e) { // a fault of one file must not end the others
        messages << "zorvane-cli: " << e.what() << '\n';
    } catch (...) {
        messages << "zorvane-cli: unexpected error\n";
    }
    return FileOutcome::Failed;
}

} // namespace

BatchCounts RunBatch(const std::vector<std::string>& files, const ConvertOne& convert, const BatchOptions& o,
                     std::ostream& err) {
    Reporter reporter(err, files.size(), o.Progress);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            std::ostringstream messages;
            const FileOutcome outcome = RunOne(convert, files[i], messages);
            reporter.Finished(files[i], outcome, messages.str());
        }
    };
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min(files.size(), o.Jobs > 0 ? static_cast<std::size_t>(o.Jobs)
                                                               : static_cast<std::size_t>(hardware));
    {
        std::vector<std::jthread> threads;
        for (std::size_t j = 1; j < jobs; ++j) {
            threads.emplace_back(work);
        }
        work(); // this thread is one of the jobs
    }
    return reporter.Close();
}

std::string SummaryLine(const BatchCounts& counts) {
    return "converted " + std::to_string(counts.Converted) + ", failed " + std::to_string(counts.Failed) +
           ", skipped " + std::to_string(counts.Skipped);
}

} // namespace zv::cli
