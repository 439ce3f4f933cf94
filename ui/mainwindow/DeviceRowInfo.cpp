#include "DeviceRowInfo.h"

#include "DeviceInfo.h"

namespace {
template <std::size_t N> QString fieldText(const char (&field)[N])
{
    return QString::fromUtf8(field, static_cast<qsizetype>(qstrnlen(field, N)));
}
} // namespace

DeviceRowInfo* DeviceRowInfo::fromSearchInfo(const SEARCH_INFO& info)
{
    const DEVICE_INFO& device = info.devInfo;
    auto* record = new DeviceRowInfo;
    record->name = fieldText(device.devName);
    record->ipAddress = fieldText(device.ipAddr);
    record->subnetMask = fieldText(device.mask);
    record->ipAddress2 = fieldText(device.ipAddr2);
    record->gateway = fieldText(device.route);
    record->dns1 = fieldText(device.dns1);
    record->dns2 = fieldText(device.dns2);
    record->mac = fieldText(device.mac);
    record->deviceType = fieldText(device.productSeries);
    record->softwareVersion = applyBetaRule(fieldText(device.softwareVer));
    record->buildDate = fieldText(device.softwareBulildDate);
    record->hardwareVersion = fieldText(device.hardwareVer);
    record->kernelVersion = fieldText(device.kernelVer);
    record->model = fieldText(device.productModel);
    record->runningTime = fieldText(device.runningTime);
    record->bootTime = fieldText(device.bootTime);
    record->dataPort = device.dataPort;
    record->httpPort = device.httpPort;
    record->opt = info.opt;
    record->dhcp = device.dhcpSwitch;
    record->activation = device.deviceActivated;
    return record;
}

QString DeviceRowInfo::applyBetaRule(const QString& version)
{
    const QLatin1String beta("beta");
    const qsizetype at = version.indexOf(beta);
    if (at < 0) {
        return version;
    }
    bool isNumber = false;
    const qlonglong build = version.mid(at + beta.size()).toLongLong(&isNumber, 10);
    if (!isNumber || build < 128) {
        return version;
    }
    return version.left(at) + QLatin1Char('1');
}
