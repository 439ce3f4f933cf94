#pragma once

#include <chrono>
#include <string>

// A fresh directory under /tmp, removed with its contents by the destructor.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const
    {
        return m_path;
    }
    std::string File(const std::string& name) const
    {
        return m_path + "/" + name;
    }

private:
    std::string m_path;
};

void WriteFile(const std::string& path, const std::string& text, bool executable = false);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// Waits until path exists and is non-empty, polling, for at most timeout.
bool WaitForFile(const std::string& path, std::chrono::milliseconds timeout = std::chrono::seconds(5));
