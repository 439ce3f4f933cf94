#include "Messages.h"

#include "ProtocolConstants.h"

const char kMessageDeviceNotFound[] = "No device with this MAC address was found.";
const char kMessageRestoreNotSupported[] = "This device does not support password restore.";
const char kMessageRestoreSuccess[] = "The device password was restored to the factory default.";
const char kMessageRestoreFailed[] = "Failed to restore the device password.";

std::string RuleMessage(int code)
{
    switch (code) {
    case 1:
        return "Invalid IP address: with this subnet mask, it is a broadcast address.";
    case 2:
        return "Invalid IP address: with this subnet mask, its host part is all zeros.";
    case 3:
        return "The IP address and the gateway cannot be loopback addresses (127.x.x.x).";
    case 4:
        return "Invalid IP address or gateway: the first number must be 1 to 223.";
    case 5:
        return "Invalid subnet mask: it is not contiguous or too short for the address class.";
    case 6:
        return "The gateway is not in the same subnet as the IP address.";
    case 7:
        return "Invalid gateway: with this subnet mask, it is a broadcast address.";
    case 8:
        return "Invalid gateway: with this subnet mask, its host part is all zeros.";
    default:
        return "";
    }
}

Outcome SetIpOutcome(int code)
{
    if (code == 0) {
        return {EXIT_OK, "The network parameters were changed."};
    }
    if (code >= 1 && code <= 8) {
        return {EXIT_RULE_CHECK, RuleMessage(code)};
    }
    if (code == 9) {
        return {EXIT_DEVICE_FAILED, "Failed to change the network parameters: the device did not answer."};
    }
    return {EXIT_DEVICE_FAILED,
            "Failed to change the network parameters: the device refused (wrong password or values it does not "
            "accept)."};
}

std::string RefusalMessage(const std::string& reason)
{
    namespace proto = scanix::proto;
    if (reason == proto::kReasonLocked) {
        return "the device locked its configuration after repeated wrong passwords; wait a minute, then try again";
    }
    if (reason == proto::kReasonNotActivated) {
        return "the device is not activated: give it a password first (scanix-cli activate)";
    }
    if (reason == proto::kReasonActivated) {
        return "the device is already activated";
    }
    if (reason == proto::kReasonLegacy) {
        return std::string("the device speaks only the old protocol, which sends the password in clear; set ") +
               proto::kLegacyOptInVariable + "=1 to configure it anyway";
    }
    if (reason == proto::kReasonBadProof) {
        return "the device refused: wrong password";
    }
    if (reason == proto::kReasonStale) {
        return "the device did not accept the request's nonce (a replay, or another program's request came first)";
    }
    if (reason == proto::kReasonBadValues) {
        return "the device does not accept these values";
    }
    if (reason == proto::kReasonWeakPassword) {
        return "the device finds the new password too weak";
    }
    if (reason == proto::kReasonUnknownDevice) {
        return "the device has not been heard in this search";
    }
    return "";
}

Outcome RestoreOutcome(int result)
{
    if ((result & 0xFF) != 0) {
        return {EXIT_OK, kMessageRestoreSuccess};
    }
    switch (result >> 8) {
    case scanix::proto::kRestoreRefusedButton >> 8:
        return {EXIT_DEVICE_FAILED,
                "The device refused: press the device's reset button, then restore again (within 5 minutes)."};
    case scanix::proto::kRestoreRefusedUnsupported >> 8:
        return {EXIT_NOT_SUPPORTED, kMessageRestoreNotSupported};
    case scanix::proto::kRestoreRefusedLegacy >> 8:
        return {EXIT_DEVICE_FAILED,
                "Failed to restore the device password: " + RefusalMessage(scanix::proto::kReasonLegacy) + "."};
    default:
        return {EXIT_DEVICE_FAILED, kMessageRestoreFailed};
    }
}
