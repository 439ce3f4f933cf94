#pragma once

// The commands of scanix-cli. Each returns its exit code (ExitCode.h); results go to stdout,
// messages to stderr.

#include <string>
#include <vector>

struct GlobalOptions
{
    // Interfaces to search, separated by commas or spaces; empty: every interface.
    std::string interfaces;
};

struct ScanOptions
{
    double seconds = 3;
    std::string format = "table";
    std::vector<std::string> columns;
};

struct WatchOptions
{
    int interval = 5;
    std::string format = "text";
};

struct SetIpOptions
{
    std::string mac, ip, mask, gateway, httpPort, dataPort;
    bool passwordStdin = false;
    double seconds = 5;
};

struct BatchOptions
{
    std::string file;
    bool passwordStdin = false;
    bool keepGoing = false;
    bool dryRun = false;
    double seconds = 5;
    std::string format = "table";
};

struct AssignOptions
{
    std::string from, to, mask, gateway, type, onlyIp;
    bool dryRun = false;
    bool passwordStdin = false;
    double seconds = 3;
    std::string format = "table";
};

struct DeviceOptions
{
    std::string mac;
    double seconds = 5;
};

struct ActivateOptions
{
    std::string mac;
    bool passwordStdin = false;
    double seconds = 5;
};

struct DoctorOptions
{
    double seconds = 3;
};

int RunScan(const GlobalOptions& global, const ScanOptions& options);
int RunWatch(const GlobalOptions& global, const WatchOptions& options);
int RunSetIp(const GlobalOptions& global, const SetIpOptions& options);
int RunBatchIp(const GlobalOptions& global, const BatchOptions& options);
int RunAssign(const GlobalOptions& global, const AssignOptions& options);
int RunRestore(const GlobalOptions& global, const DeviceOptions& options);
int RunActivate(const GlobalOptions& global, const ActivateOptions& options);
int RunUrl(const GlobalOptions& global, const DeviceOptions& options, bool open);
int RunHost(const std::string& format);
int RunCheck(const std::string& ip, const std::string& mask, const std::string& gateway);
int RunDoctor(const GlobalOptions& global, const DoctorOptions& options);
