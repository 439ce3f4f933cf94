#pragma once

// RFC 4180 text: reading the device lists of batch-ip, writing the scan output.

#include <cstddef>
#include <string>
#include <vector>

struct CsvRow
{
    int line = 0; // line number of the row's first line in the file, from 1
    std::vector<std::string> fields;
};

struct CsvResult
{
    std::vector<CsvRow> rows;
    // Empty when the whole text was read; else the first problem, naming its line.
    std::string error;
};

// Larger inputs are refused: a list of devices is never near this size.
constexpr std::size_t kCsvMaxBytes = 1024 * 1024;

// Reads comma-separated rows: quoted fields may hold commas, doubled quotes and line breaks;
// lines may end with CR LF or LF; a leading UTF-8 byte-order mark and blank lines are skipped.
// A stray quote inside an unquoted field, text after a closing quote, an unterminated quote,
// a zero byte or a text over kCsvMaxBytes is an error.
CsvResult ReadCsv(const std::string& text);

// One field as RFC 4180 wants it: quoted when it holds a comma, quote, CR or LF. A field that
// begins with =, +, -, @, tab or CR is quoted and prefixed with an apostrophe, so that a
// spreadsheet shows it as text instead of running it as a formula.
std::string CsvField(const std::string& value);
// A whole record, ended by CR LF.
std::string CsvLine(const std::vector<std::string>& fields);
