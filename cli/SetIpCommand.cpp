// set-ip: one device's address, mask, gateway and optionally ports.
#include "Addressing.h"
#include "Commands.h"
#include "Console.h"
#include "ExitCode.h"
#include "NetworkChange.h"
#include "Password.h"

#include <iostream>

namespace {

// Why the arguments cannot be used, empty when they can.
std::string ArgumentProblem(const SetIpOptions& options)
{
    if (!NormaliseMac(options.mac)) {
        return "MAC \"" + options.mac + "\" is not a MAC address (six hexadecimal pairs joined by colons)";
    }
    for (const auto& [what, text] : {std::pair<std::string, std::string>{"--ip", options.ip},
                                     {"--mask", options.mask},
                                     {"--gateway", options.gateway}}) {
        const std::string problem = Ipv4Problem(what, text);
        if (!problem.empty()) {
            return problem;
        }
    }
    if (options.httpPort.empty() != options.dataPort.empty()) {
        return "--http-port and --data-port go together: give both or neither";
    }
    for (const auto& [what, text] :
         {std::pair<std::string, std::string>{"--http-port", options.httpPort}, {"--data-port", options.dataPort}}) {
        if (!text.empty() && !ParsePort(text)) {
            return what + " \"" + text + "\" is not a port (1-65535)";
        }
    }
    return "";
}

} // namespace

int RunSetIp(const GlobalOptions& global, const SetIpOptions& options)
{
    const std::string problem = ArgumentProblem(options);
    if (!problem.empty()) {
        Message(problem);
        return EXIT_USAGE;
    }
    // Refused values never need a password or a search.
    const int rule = CheckAddresses(options.ip, options.mask, options.gateway);
    if (rule != 0) {
        Message(RuleMessage(rule));
        return EXIT_RULE_CHECK;
    }
    std::string error;
    const std::optional<std::string> password = ReadPassword(options.passwordStdin, error);
    if (!password) {
        Message(error);
        return EXIT_USAGE;
    }
    ChangeRequest request{*NormaliseMac(options.mac),
                          options.ip,
                          options.mask,
                          options.gateway,
                          options.httpPort,
                          options.dataPort,
                          *password};

    SearchSession session(global.interfaces);
    session.SearchOnce();
    DEVICE_INFO device{};
    if (!session.WaitForDevice(request.mac, DeadlineIn(options.seconds), device)) {
        Message(std::string(kMessageDeviceNotFound) + " (" + request.mac + ")");
        return EXIT_NOT_FOUND;
    }
    const Outcome outcome = ApplyChange(session.Manager(), request);
    if (outcome.exit == EXIT_OK) {
        std::cout << outcome.message << '\n';
    } else {
        Message(outcome.message);
    }
    return outcome.exit;
}
