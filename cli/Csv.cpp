#include "Csv.h"

namespace {

class CsvReader
{
public:
    explicit CsvReader(const std::string& text)
        : m_text(text)
    {}

    CsvResult Read()
    {
        CsvResult result;
        if (m_text.size() > kCsvMaxBytes) {
            result.error = "the input is larger than 1 MiB; a device list is never that long";
            return result;
        }
        if (m_text.find('\0') != std::string::npos) {
            result.error = "line " + std::to_string(LineOf(m_text.find('\0'))) + ": zero byte (not a text file)";
            return result;
        }
        if (m_text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            m_pos = 3;
        }
        while (m_pos < m_text.size() && result.error.empty()) {
            CsvRow row;
            row.line = m_line;
            if (ReadRow(row, result.error) && !IsBlank(row)) {
                result.rows.push_back(row);
            }
        }
        return result;
    }

private:
    static bool IsBlank(const CsvRow& row)
    {
        return row.fields.size() == 1 && row.fields[0].find_first_not_of(" \t") == std::string::npos;
    }

    int LineOf(std::size_t offset) const
    {
        int line = 1;
        for (std::size_t i = 0; i < offset && i < m_text.size(); ++i) {
            line += m_text[i] == '\n' ? 1 : 0;
        }
        return line;
    }

    std::string Where() const
    {
        return "line " + std::to_string(m_line) + ": ";
    }

    // Consumes a line end at the current position; true when there was one.
    bool LineEnd()
    {
        if (m_text.compare(m_pos, 2, "\r\n") == 0) {
            m_pos += 2;
        } else if (m_pos < m_text.size() && m_text[m_pos] == '\n') {
            ++m_pos;
        } else {
            return false;
        }
        ++m_line;
        return true;
    }

    bool ReadRow(CsvRow& row, std::string& error)
    {
        for (;;) {
            std::string field;
            if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                if (!ReadQuoted(field, error)) {
                    return false;
                }
            } else if (!ReadPlain(field, error)) {
                return false;
            }
            row.fields.push_back(field);
            if (m_pos >= m_text.size() || LineEnd()) {
                return true;
            }
            if (m_text[m_pos] != ',') {
                error = Where() + "text after a closing quote (a field that holds a quote must be quoted whole)";
                return false;
            }
            ++m_pos;
        }
    }

    bool ReadPlain(std::string& field, std::string& error)
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == ',' || c == '\n' || m_text.compare(m_pos, 2, "\r\n") == 0) {
                return true;
            }
            if (c == '"') {
                error = Where() + "stray quote inside a field (quote the whole field and double the quote)";
                return false;
            }
            field += c;
            ++m_pos;
        }
        return true;
    }

    bool ReadQuoted(std::string& field, std::string& error)
    {
        const int startLine = m_line;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                    field += '"';
                    ++m_pos;
                    continue;
                }
                return true;
            }
            m_line += c == '\n' ? 1 : 0;
            field += c;
        }
        error = "line " + std::to_string(startLine) + ": quote opened here is never closed";
        return false;
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
};

} // namespace

CsvResult ReadCsv(const std::string& text)
{
    return CsvReader(text).Read();
}

std::string CsvField(const std::string& value)
{
    // A spreadsheet runs a cell that begins like a formula (a device may name itself
    // "=HYPERLINK(...)"): such a cell is quoted and begins with an apostrophe, which makes it text.
    const bool formula = !value.empty() && std::string("=+-@\t\r").find(value.front()) != std::string::npos;
    if (!formula && value.find_first_of(",\"\r\n") == std::string::npos) {
        return value;
    }
    std::string quoted = formula ? "\"'" : "\"";
    for (const char c : value) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i > 0 ? "," : "") + CsvField(fields[i]);
    }
    return line + "\r\n";
}
