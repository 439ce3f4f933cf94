#pragma once

// Changing a device's network parameters, alone (set-ip) or as a planned list (batch-ip,
// assign): the checks before anything is sent, the request, the result table.

#include "CScanixManage.h"
#include "Messages.h"
#include "SearchSession.h"

#include <optional>
#include <string>
#include <vector>

struct ChangeRequest
{
    std::string mac, ip, mask, gateway;
    std::string httpPort, dataPort; // both empty: ports stay
    std::string password;
};

// Sends one change to a device in the store and settles its outcome from the device's answer,
// whatever its type, so every outcome is known.
Outcome ApplyChange(CScanixManage& manager, const ChangeRequest& request);

struct PlannedChange
{
    int line = 0; // input line, 0 when the row was not read from a file
    ChangeRequest request;
};

// Waits (bounded) until the planned devices are found, applies the changes one by one and
// prints a result table (or JSON with format "json"). Returns EXIT_OK when all were applied,
// else the failure's code when there was one row, or EXIT_PARTIAL.
int ApplyPlan(SearchSession& session,
              const std::vector<PlannedChange>& plan,
              double seconds,
              const std::string& format);

// Reads the password when any request lacks one; false (after a message) when it cannot.
bool FillPasswords(std::vector<PlannedChange>& plan, bool fromStdin);
