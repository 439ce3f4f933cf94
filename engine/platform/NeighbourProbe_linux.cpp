#include "NeighbourProbe.h"

#include <arpa/inet.h>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// The discard service: whatever reaches it is dropped, and the kernel must resolve the
// address before the datagram can leave.
constexpr std::uint16_t kDiscardPort = 9;
// ATF_COM of the kernel's table: the entry holds a resolved hardware address.
constexpr unsigned kCompleteFlag = 0x2;

void SendProbe(std::uint32_t address)
{
    const int sock = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (sock < 0) {
        return;
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(kDiscardPort);
    target.sin_addr.s_addr = address;
    const char nothing = 0;
    sendto(sock, &nothing, 0, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    close(sock);
}

std::string UpperMac(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// Fills the answers still empty from /proc/net/arp; true when none is left empty.
bool ReadTable(std::vector<NeighbourAnswer>& answers)
{
    std::ifstream table("/proc/net/arp");
    std::string line;
    std::getline(table, line); // column titles
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string ip;
        std::string type;
        std::string flags;
        std::string mac;
        if (!(fields >> ip >> type >> flags >> mac)) {
            continue;
        }
        in_addr parsed{};
        const unsigned flagBits = static_cast<unsigned>(std::strtoul(flags.c_str(), nullptr, 16));
        if (inet_pton(AF_INET, ip.c_str(), &parsed) != 1 || (flagBits & kCompleteFlag) == 0 ||
            mac == "00:00:00:00:00:00") {
            continue;
        }
        for (NeighbourAnswer& answer : answers) {
            if (answer.address == parsed.s_addr && answer.mac.empty()) {
                answer.mac = UpperMac(mac);
            }
        }
    }
    for (const NeighbourAnswer& answer : answers) {
        if (answer.mac.empty()) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<NeighbourAnswer> ProbeNeighbours(const std::vector<std::uint32_t>& addresses, int timeoutMs)
{
    std::vector<NeighbourAnswer> answers;
    for (const std::uint32_t address : addresses) {
        answers.push_back({address, std::string()});
        SendProbe(address);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ReadTable(answers) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return answers;
}
