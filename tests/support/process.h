// Runs a program as a child process with a chosen argv[0], environment additions and standard
// input, and collects its standard output, standard error and exit status.
#ifndef KTR7_TESTS_PROCESS_H
#define KTR7_TESTS_PROCESS_H

#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
    int status = -1;  // exit status as a POSIX shell shows it (0 to 255), 128 + n for signal n
    std::string out;
    std::string err;
};

// argv[0] is args[0]; env adds to (or replaces in) the environment, from which every OSTREL_*
// variable is removed first so that the caller's shell cannot change a test.
ProcessResult RunProcess(const std::string &path, const std::vector<std::string> &args,
                         const std::map<std::string, std::string> &env = {},
                         const std::string &input = {});

}  // namespace testsupport

#endif  // KTR7_TESTS_PROCESS_H
