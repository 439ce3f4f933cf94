#include "Messages.h"

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
