// Opening a device's web page from CScanixManage: the stored device's address that answers,
// handed to the web-page launcher.
#include "CScanixManage.h"
#include "WebLauncher.h"

#include <cstdint>
#include <string>

bool CScanixManage::OpenDeviceWeb(const char* mac, std::string* url)
{
    DEVICE_INFO device{};
    if (mac == nullptr || !FindDevice(mac, device)) {
        return false;
    }
    const std::uint32_t address =
        ChooseDeviceAddress(device.ipAddr, device.ipAddr2, device.dataPort, m_timings.probeMs);
    if (address == 0) {
        return false;
    }
    const std::string page = FormatDeviceUrl(address, device.httpPort, device.httpType);
    if (url != nullptr) {
        *url = page;
    }
    return LaunchWebPage(page, m_launcherDirectory.empty() ? ProgramDirectory() : m_launcherDirectory);
}

void CScanixManage::SetLauncherDirectory(const std::string& directory)
{
    m_launcherDirectory = directory;
}
