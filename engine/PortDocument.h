#pragma once

#include <string>

// The ports of a camera as its configuration interface reads and writes them.
struct DevicePorts
{
    int httpPort = 0;
    int dataPort = 0;
    int rtspPort = 0;
};

// Namespace of the device-configuration documents.
extern const char kDeviceConfigNamespace[];

// The port document: root "config" (version 1.0, the configuration namespace) holding
// "port" and then "ports", each with httpPort, netPort (the data port) and rtspPort as
// uint16-typed decimal texts.
std::string BuildPortDocument(const DevicePorts& ports);

// Reads config / port / <name> of a port document as an atoi value; false when the path is
// missing.
bool ReadPortConfigValue(const char* document, const char* name, int& value);

// The "searchSetIP" request document, attributes in the order devices expect them; the
// ports are left out when their text is empty.
struct SetIpRequest
{
    std::string password;
    std::string mac;
    bool dhcp = false;
    std::string ip;
    std::string mask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
    std::string encryptType;
    std::string httpPort;
    std::string dataPort;
};
std::string BuildSetIpDocument(const SetIpRequest& request);
