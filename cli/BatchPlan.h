#pragma once

// An address plan for many devices at once: each device, in the order given, gets the next
// address from a start address that nobody holds and that the addressing rules take. Toolkit
// free, so the window and the command line plan alike.

#include "Csv.h"
#include "NetworkChange.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct PlanDevice
{
    std::string mac, name, model, ip;
};

struct PlanRow
{
    // A skipped address has no device: `heldBy` says who holds it.
    PlanDevice device;
    std::string ip, mask, gateway;
    std::string heldBy;
    int rule = 0; // the addressing rule code of this row's values, 0 when they pass

    bool skipped() const
    {
        return device.mac.empty();
    }
};

struct AddressPlan
{
    std::vector<PlanRow> rows; // devices and skipped addresses, in address order
    // Empty when every device got an address that passes every rule; else why not.
    std::string problem;
};

// Addresses (host order) that must not be handed out, with who holds them.
using HeldAddresses = std::map<std::uint32_t, std::string>;

// start, mask and gateway must be dotted IPv4 texts. Network and broadcast addresses of the
// segment are passed over silently; an address in `held` is listed as skipped. The plan stops
// with a problem when the segment of the start address runs out of addresses.
AddressPlan PlanAddresses(const std::vector<PlanDevice>& devices,
                          const std::string& start,
                          const std::string& mask,
                          const std::string& gateway,
                          const HeldAddresses& held);

// The planned rows (skipped ones left out) as the CSV that `batch-ip` reads: a header row
// mac,ip,mask,gateway, CR LF line ends. Passwords are never written.
std::string PlanCsv(const AddressPlan& plan);

// A problem of one row of a change list, with its line number.
struct PlanProblem
{
    int line;
    std::string message;
    bool malformed; // the row cannot be read at all (not a rule failure or duplicate)
};

// Checks the rows of a change list that ReadCsv read without error (see docs/cli.md, batch-ip):
// rows with problems are reported and left out of `changes`.
std::vector<PlanProblem> ReadChangeList(const CsvResult& csv, std::vector<PlannedChange>& changes);
