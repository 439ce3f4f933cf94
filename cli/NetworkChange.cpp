#include "NetworkChange.h"

#include "Console.h"
#include "DeviceRequests.h"
#include "Listing.h"
#include "Messages.h"
#include "Password.h"

#include <chrono>
#include <iostream>

Outcome ApplyChange(CScanixManage& manager, const ChangeRequest& request)
{
    const int code = manager.ChangeNetworkParam(request.mac.c_str(),
                                                request.ip.c_str(),
                                                request.mask.c_str(),
                                                request.gateway.c_str(),
                                                request.password.c_str(),
                                                request.httpPort.c_str(),
                                                request.dataPort.c_str(),
                                                false);
    Outcome outcome = SetIpOutcome(code);
    const std::string why = code == SETIP_FAILED ? RefusalMessage(manager.GetPendingAnswer().reason) : "";
    if (!why.empty()) {
        outcome.message = "Failed to change the network parameters: " + why + ".";
    }
    return outcome;
}

bool FillPasswords(std::vector<PlannedChange>& plan, bool fromStdin)
{
    bool needed = false;
    for (const PlannedChange& change : plan) {
        needed = needed || change.request.password.empty();
    }
    if (!needed) {
        return true;
    }
    std::string error;
    const std::optional<std::string> password = ReadPassword(fromStdin, error);
    if (!password) {
        Message(error);
        return false;
    }
    for (PlannedChange& change : plan) {
        if (change.request.password.empty()) {
            change.request.password = *password;
        }
    }
    return true;
}

int ApplyPlan(SearchSession& session, const std::vector<PlannedChange>& plan, double seconds, const std::string& format)
{
    std::vector<std::string> macs;
    for (const PlannedChange& change : plan) {
        macs.push_back(change.request.mac);
    }
    session.WaitForDevices(macs, DeadlineIn(seconds));

    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    std::vector<std::vector<std::string>> rows;
    int failures = 0;
    ExitCode lastFailure = EXIT_OK;
    for (const PlannedChange& change : plan) {
        const auto started = std::chrono::steady_clock::now();
        DEVICE_INFO device{};
        Outcome outcome{EXIT_NOT_FOUND, kMessageDeviceNotFound};
        if (session.Manager().FindDevice(change.request.mac.c_str(), device)) {
            outcome = ApplyChange(session.Manager(), change.request);
        }
        if (outcome.exit != EXIT_OK) {
            ++failures;
            lastFailure = outcome.exit;
        }
        const std::string result =
            outcome.exit == EXIT_OK ? "changed" : (outcome.exit == EXIT_NOT_FOUND ? "not found" : "failed");
        rows.push_back({change.line > 0 ? std::to_string(change.line) : "",
                        change.request.mac,
                        device.ipAddr,
                        change.request.ip,
                        result,
                        outcome.message});
        nlohmann::ordered_json item;
        item["line"] = change.line > 0 ? nlohmann::ordered_json(change.line) : nlohmann::ordered_json(nullptr);
        item["mac"] = change.request.mac;
        item["oldIp"] = device.ipAddr;
        item["ip"] = change.request.ip;
        item["mask"] = change.request.mask;
        item["gateway"] = change.request.gateway;
        item["result"] = result;
        item["exitCode"] = static_cast<int>(outcome.exit);
        item["message"] = outcome.message;
        item["elapsedMs"] =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        json.push_back(item);
    }
    if (format == "json") {
        std::cout << JsonText(json, 2) << '\n';
    } else {
        PrintTable(std::cout, {"LINE", "MAC", "OLD IP", "NEW IP", "RESULT", "MESSAGE"}, rows);
    }
    if (failures == 0) {
        return EXIT_OK;
    }
    Message(std::to_string(failures) + " of " + std::to_string(plan.size()) + " changes not applied");
    return plan.size() == 1 ? lastFailure : EXIT_PARTIAL;
}
