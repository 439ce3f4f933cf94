#pragma once

// What a device of the authenticated protocol does with the protocol's requests
// (docs/protocol.md): it hands out single-use nonces, checks proofs under its verifier, locks
// its configuration after repeated bad proofs, takes its first password sealed to its key, and
// restores only while its reset button's window is open. Every call runs with the fleet lock held.

#include "SecureMessage.h"
#include "SimDevice.h"

#include <chrono>
#include <string>

struct SecureOutcome
{
    std::string answer;   // the datagram to send back; empty: stay silent
    bool applied = false; // the device's values changed: announce them
};

// `text` is the request as received (a repeat of an answered request gets the same answer).
// `tlsKey` is the pin of the web interface's TLS key, carried in answers of HTTPS devices.
SecureOutcome HandleSecureRequest(SimDevice& device,
                                  const scanix::proto::SecureMessage& request,
                                  const std::string& text,
                                  const std::string& tlsKey,
                                  std::chrono::steady_clock::time_point now);

// The rule a first password must meet: 8 to 39 bytes, and three of lower case, upper case,
// digits and other characters.
bool StrongEnough(const std::string& password);
