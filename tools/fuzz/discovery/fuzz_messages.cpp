// Fuzz target for the discovery messages as the library and the simulator read them off the
// wire: any bytes in, and whatever comes out names a device only by a well-shaped MAC text.
#include "DeviceTable.h"
#include "Messages.h"
#include "ProtocolConstants.h"
#include "SecureMessage.h"
#include "WireMac.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const scanix::proto::Incoming message = scanix::proto::ReadMessage(text);
    using Type = scanix::proto::Incoming::Type;
    if (message.type == Type::Unknown) {
        Check(message.mac.empty());
        return 0;
    }
    Check(size <= scanix::proto::kMaxDatagram);
    // The callback gets a C string: a NUL byte would cut the document it reads.
    Check(text.find('\0') == std::string::npos);
    if (message.type != Type::Probe) {
        // Upper-case and well shaped: normalising it again changes nothing.
        Check(scanix::proto::NormalizeMac(message.mac) == message.mac);
    }
    if (message.type == Type::Result && !message.hasSetIpResult) {
        scanix::search::DeviceTable table(1);
        Check(table.Report(message.mac, message.fingerprint, 0) == scanix::search::DeviceTable::Verdict::Found);
        // The same text read twice is the same device state.
        Check(table.Report(message.mac, scanix::proto::ReadMessage(text).fingerprint, 0) ==
              scanix::search::DeviceTable::Verdict::Same);
    }
    if (message.type == Type::Secure) {
        // What is read is what is written back: the proof of a re-sent message still holds.
        const auto again = scanix::proto::ReadSecure(scanix::proto::BuildSecure(message.secure));
        Check(again && again->root == message.secure.root && again->fields == message.secure.fields);
        const std::string key(32, 'k');
        scanix::proto::SecureMessage signedCopy = message.secure;
        scanix::proto::Sign(signedCopy, key);
        Check(scanix::proto::Verify(signedCopy, key) && !scanix::proto::Verify(signedCopy, std::string(32, 'j')));
    }
    if (message.type == Type::Result && message.hasAuth) {
        // A tag under a key nobody used never holds, whatever the text around it.
        Check(!scanix::proto::CheckReportTag(text, std::string(32, 'k')));
    }
    return 0;
}
