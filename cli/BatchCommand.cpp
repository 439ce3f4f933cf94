// batch-ip: a CSV list of address changes, all checked before the first is sent.
#include "Addressing.h"
#include "Commands.h"
#include "Console.h"
#include "Csv.h"
#include "ExitCode.h"
#include "NetworkChange.h"
#include "Password.h"
#include "SafeText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

namespace {

const char* const kColumns[] = {"mac", "ip", "mask", "gateway", "password"};

struct RowProblem
{
    int line;
    std::string message;
    bool malformed; // the row cannot be read at all (not a rule failure or duplicate)
};

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

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

// Maps column names to positions: from a header row when the first row names "mac", else the
// fixed order mac, ip, mask, gateway and an optional password.
std::map<std::string, std::size_t> ColumnsOf(const CsvRow& first, bool& header, std::string& error)
{
    std::map<std::string, std::size_t> columns;
    header = !first.fields.empty() && Lower(Trim(first.fields[0])) == "mac";
    if (!header) {
        for (std::size_t i = 0; i < 5; ++i) {
            columns[kColumns[i]] = i;
        }
        return columns;
    }
    for (std::size_t i = 0; i < first.fields.size(); ++i) {
        const std::string name = Lower(Trim(first.fields[i]));
        if (std::find(std::begin(kColumns), std::end(kColumns), name) == std::end(kColumns) || columns.count(name)) {
            error = "line 1: header column \"" + EchoText(first.fields[i]) +
                    "\" is unknown or repeated (use mac,ip,mask,gateway[,password])";
            return {};
        }
        columns[name] = i;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (!columns.count(kColumns[i])) {
            error = std::string("line 1: the header lacks the column \"") + kColumns[i] + "\"";
            return {};
        }
    }
    return columns;
}

// Reads one row into a planned change; a problem is returned instead when it cannot be used.
std::optional<RowProblem>
ReadRow(const CsvRow& row, const std::map<std::string, std::size_t>& columns, bool header, PlannedChange& change)
{
    const std::size_t wanted = header ? columns.size() : 4;
    if (row.fields.size() != wanted && !(!header && row.fields.size() == 5)) {
        return RowProblem{row.line,
                          std::to_string(row.fields.size()) + " fields, expected " + std::to_string(wanted) +
                              (header ? "" : " (mac,ip,mask,gateway[,password])"),
                          true};
    }
    const auto field = [&](const char* name) {
        const auto at = columns.find(name);
        return at != columns.end() && at->second < row.fields.size() ? Trim(row.fields[at->second]) : std::string();
    };
    const std::optional<std::string> mac = NormaliseMac(field("mac"));
    if (!mac) {
        return RowProblem{row.line, "\"" + EchoText(field("mac")) + "\" is not a MAC address", true};
    }
    change.line = row.line;
    change.request = {*mac, field("ip"), field("mask"), field("gateway"), "", "", field("password")};
    for (const auto& [what, text] : {std::pair<std::string, std::string>{"ip", change.request.ip},
                                     {"mask", change.request.mask},
                                     {"gateway", change.request.gateway}}) {
        const std::string problem = Ipv4Problem(what, text);
        if (!problem.empty()) {
            return RowProblem{row.line, problem, true};
        }
    }
    const int rule = CheckAddresses(change.request.ip, change.request.mask, change.request.gateway);
    if (rule != 0) {
        return RowProblem{row.line, RuleMessage(rule), false};
    }
    return std::nullopt;
}

// Reads and checks every row; rows with problems are left out of `plan`.
std::vector<RowProblem> CheckRows(const CsvResult& csv, std::vector<PlannedChange>& plan)
{
    std::vector<RowProblem> problems;
    bool header = false;
    std::string error;
    const auto columns = ColumnsOf(csv.rows.front(), header, error);
    if (!error.empty()) {
        return {{1, error.substr(error.find(": ") + 2), true}};
    }
    std::map<std::string, int> macLines, ipLines;
    for (std::size_t i = header ? 1 : 0; i < csv.rows.size(); ++i) {
        PlannedChange change;
        if (const auto problem = ReadRow(csv.rows[i], columns, header, change)) {
            problems.push_back(*problem);
            continue;
        }
        const auto mac = macLines.emplace(change.request.mac, change.line);
        const auto ip = ipLines.emplace(change.request.ip, change.line);
        if (!mac.second) {
            problems.push_back(
                {change.line,
                 "MAC " + change.request.mac + " is already listed on line " + std::to_string(mac.first->second),
                 false});
        } else if (!ip.second) {
            problems.push_back(
                {change.line,
                 "address " + change.request.ip + " is already given on line " + std::to_string(ip.first->second),
                 false});
        } else {
            plan.push_back(change);
        }
    }
    if (plan.empty() && problems.empty()) {
        problems.push_back({1, "no rows to apply (only a header)", true});
    }
    return problems;
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
    const std::vector<RowProblem> problems = CheckRows(csv, plan);
    bool malformed = false;
    for (const RowProblem& problem : problems) {
        Message(name + ": line " + std::to_string(problem.line) + ": " + problem.message);
        malformed = malformed || problem.malformed;
    }
    if (!problems.empty() && (!options.keepGoing || plan.empty())) {
        Message(std::to_string(problems.size()) + " rows failed the checks; nothing was changed");
        return malformed ? EXIT_USAGE : EXIT_RULE_CHECK;
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
