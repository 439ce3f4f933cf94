// batch-ip: a CSV list of address changes, all checked before the first is sent.
#include "BatchPlan.h"
#include "Commands.h"
#include "Console.h"
#include "Csv.h"
#include "ExitCode.h"
#include "Listing.h"
#include "NetworkChange.h"
#include "Password.h"
#include "SafeText.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

// Reads at most one byte more than the CSV limit, so a huge input is refused without being held.
bool ReadInput(const std::string& file, std::string& text, std::string& error)
{
    std::ifstream opened;
    std::istream* in = &std::cin;
    if (file != "-") {
        opened.open(file, std::ios::binary);
        if (!opened) {
            error = EchoText(file) + ": cannot be read (" + std::strerror(errno) + ")";
            return false;
        }
        in = &opened;
    }
    text.resize(kCsvMaxBytes + 1);
    in->read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in->gcount()));
    return true;
}

// The rows that passed the checks, as they would be sent (never their passwords).
void PrintChecked(const std::vector<PlannedChange>& plan, const std::string& format)
{
    if (format == "json") {
        nlohmann::ordered_json json = nlohmann::ordered_json::array();
        for (const PlannedChange& change : plan) {
            json.push_back({{"line", change.line},
                            {"mac", change.request.mac},
                            {"ip", change.request.ip},
                            {"mask", change.request.mask},
                            {"gateway", change.request.gateway}});
        }
        std::cout << JsonText(json, 2) << '\n';
        return;
    }
    std::vector<std::vector<std::string>> rows;
    for (const PlannedChange& change : plan) {
        rows.push_back({std::to_string(change.line),
                        change.request.mac,
                        change.request.ip,
                        change.request.mask,
                        change.request.gateway});
    }
    PrintTable(std::cout, {"LINE", "MAC", "NEW IP", "MASK", "GATEWAY"}, rows);
}

} // namespace

int RunBatchIp(const GlobalOptions& global, const BatchOptions& options)
{
    const std::string name = options.file == "-" ? "standard input" : EchoText(options.file);
    // From standard input the password line comes first, before the list.
    std::optional<std::string> stdinPassword;
    std::string error;
    if (options.file == "-" && options.passwordStdin && !(stdinPassword = ReadPassword(true, error))) {
        Message(error);
        return EXIT_USAGE;
    }
    std::string text;
    if (!ReadInput(options.file, text, error)) {
        Message(error);
        return EXIT_USAGE;
    }
    const CsvResult csv = ReadCsv(text);
    if (!csv.error.empty() || csv.rows.empty()) {
        Message(name + ": " + (csv.error.empty() ? "no rows (the list is empty)" : csv.error) +
                "; nothing was changed");
        return EXIT_USAGE;
    }
    std::vector<PlannedChange> plan;
    const std::vector<PlanProblem> problems = ReadChangeList(csv, plan);
    bool malformed = false;
    for (const PlanProblem& problem : problems) {
        Message(name + ": line " + std::to_string(problem.line) + ": " + problem.message);
        malformed = malformed || problem.malformed;
    }
    if (!problems.empty() && (!options.keepGoing || plan.empty())) {
        Message(std::to_string(problems.size()) + " rows failed the checks; nothing was changed");
        return malformed ? EXIT_USAGE : EXIT_RULE_CHECK;
    }
    if (options.dryRun) {
        PrintChecked(plan, options.format);
        Message("--dry-run: nothing was changed");
        return problems.empty() ? EXIT_OK : EXIT_PARTIAL;
    }
    if (stdinPassword) {
        for (PlannedChange& change : plan) {
            change.request.password = change.request.password.empty() ? *stdinPassword : change.request.password;
        }
    } else if (!FillPasswords(plan, options.passwordStdin)) {
        return EXIT_USAGE;
    }
    if (!problems.empty()) {
        Message("--keep-going: applying the " + std::to_string(plan.size()) + " good rows");
    }
    SearchSession session(global.interfaces);
    session.SearchOnce();
    const int applied = ApplyPlan(session, plan, options.seconds, options.format);
    return problems.empty() ? applied : EXIT_PARTIAL;
}
