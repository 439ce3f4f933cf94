#pragma once

#include <cstdint>

// Tells whether address:port accepts a TCP connection within timeoutMs. address is in
// network byte order, port in host order. A refused, unreachable or timed-out connection
// all give false; the wait never exceeds the time-out.
bool ProbeTcp(std::uint32_t address, int port, int timeoutMs);
