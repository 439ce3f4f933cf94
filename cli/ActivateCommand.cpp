// activate: give a device that is not activated its first password.
#include "Addressing.h"
#include "Commands.h"
#include "Console.h"
#include "ExitCode.h"
#include "Messages.h"
#include "Password.h"
#include "PasswordRule.h"
#include "ProtocolConstants.h"
#include "SearchSession.h"

#include <iostream>

int RunActivate(const GlobalOptions& global, const ActivateOptions& options)
{
    const std::optional<std::string> mac = NormaliseMac(options.mac);
    if (!mac) {
        Message("MAC \"" + options.mac + "\" is not a MAC address (six hexadecimal pairs joined by colons)");
        return EXIT_USAGE;
    }
    std::string error;
    const std::optional<std::string> password = ReadNewPassword(options.passwordStdin, error);
    if (!password) {
        Message(error);
        return EXIT_USAGE;
    }
    if (!IsStrongPassword(*password)) {
        Message(std::string("the new password is too weak: it needs ") + kPasswordRuleText + "; nothing was sent");
        return EXIT_USAGE;
    }
    SearchSession session(global.interfaces);
    session.SearchOnce();
    DEVICE_INFO device{};
    if (!session.WaitForDevice(*mac, DeadlineIn(options.seconds), device)) {
        Message(std::string(kMessageDeviceNotFound) + " (" + *mac + ")");
        return EXIT_NOT_FOUND;
    }
    // The record's value is 0 for an activated device.
    if (device.deviceActivated == 0) {
        Message("The device is already activated; nothing was sent.");
        return EXIT_NOT_SUPPORTED;
    }
    const int code = session.Manager().ActivateDevice(device.mac, password->c_str());
    if (code == SETIP_OK) {
        std::cout << "The device was activated.\n";
        return EXIT_OK;
    }
    if (code == SETIP_NO_ANSWER) {
        Message("Failed to activate the device: the device did not answer.");
        return EXIT_DEVICE_FAILED;
    }
    const std::string reason = session.Manager().GetPendingAnswer().reason;
    const std::string why = RefusalMessage(reason);
    Message("Failed to activate the device" + (why.empty() ? std::string(".") : ": " + why + "."));
    return reason == scanix::proto::kReasonActivated ? EXIT_NOT_SUPPORTED : EXIT_DEVICE_FAILED;
}
