#pragma once

// Exit codes of scanix-cli; scripts rely on them, so docs/cli.md lists the same values.
enum ExitCode
{
    EXIT_OK = 0,
    // Anything else went wrong (doctor found a problem, output could not be written).
    EXIT_FAILURE_OTHER = 1,
    // Bad arguments or input: nothing was sent to any device.
    EXIT_USAGE = 2,
    // The addressing rule check refused the values: nothing was sent.
    EXIT_RULE_CHECK = 3,
    EXIT_NOT_FOUND = 4,
    // The device refused the request (wrong password, bad values) or did not answer.
    EXIT_DEVICE_FAILED = 5,
    // The device's type does not support the request (password restore of a recorder).
    EXIT_NOT_SUPPORTED = 6,
    // batch-ip / assign: some rows were applied, others were not.
    EXIT_PARTIAL = 7
};
