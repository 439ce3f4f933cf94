#pragma once

#include <QString>

struct SEARCH_INFO;

// The window's own copy of one reported device, as texts and numbers; rows point to one.
struct DeviceRowInfo
{
    QString name;
    QString ipAddress;
    QString subnetMask;
    QString ipAddress2;
    QString gateway;
    QString dns1;
    QString dns2;
    QString mac;
    // The device-type key, e.g. "QMX_IPC".
    QString deviceType;
    QString softwareVersion;
    QString buildDate;
    QString hardwareVersion;
    QString kernelVersion;
    QString model;
    // Seconds since the device started, as the device sent them.
    QString runningTime;
    QString bootTime;
    int dataPort = 0;
    int httpPort = 0;
    int opt = 0;
    bool dhcp = false;
    int activation = 0;

    // Runs on the search library's thread: touches nothing but the new record.
    static DeviceRowInfo* fromSearchInfo(const SEARCH_INFO& info);
    // "2.3.0beta130" becomes "2.3.01": a beta build numbered 128 or above is shown as the
    // release it leads to. Anything else stays as it is.
    static QString applyBetaRule(const QString& version);
};
