#include "PortDocument.h"

#include "CMarkupSTL.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(PortDocument, HoldsPortThenPortsWithTypedNumbersInOrder)
{
    DevicePorts ports;
    ports.httpPort = 8080;
    ports.dataPort = 6036;
    ports.rtspPort = 554;
    CMarkupSTL xml(BuildPortDocument(ports).c_str());
    ASSERT_TRUE(xml.FindElement("config"));
    EXPECT_EQ(xml.GetAttrib("version"), "1.0");
    const std::string ns = xml.GetAttrib("xmlns");
    EXPECT_EQ(ns.compare(0, 7, "http://"), 0) << ns;
    EXPECT_EQ(ns.substr(ns.size() - 6), "/ver10") << ns;
    ASSERT_TRUE(xml.EnterElement());
    for (const char* group : {"port", "ports"}) {
        ASSERT_TRUE(xml.FindElement()) << group;
        EXPECT_EQ(xml.GetTagName(), group);
        const std::pair<const char*, const char*> children[] = {
            {"httpPort", "8080"}, {"netPort", "6036"}, {"rtspPort", "554"}};
        for (const auto& child : children) {
            ASSERT_TRUE(xml.FindChildElement()) << child.first;
            EXPECT_EQ(xml.GetChildTagName(), child.first);
            EXPECT_EQ(xml.GetChildElementData(), child.second);
            EXPECT_EQ(xml.GetChildAttrib("type"), "uint16");
        }
        EXPECT_FALSE(xml.FindChildElement());
    }
    EXPECT_FALSE(xml.FindElement());
}

TEST(PortDocument, ReadsValuesBelowConfigPort)
{
    DevicePorts ports;
    ports.httpPort = 81;
    ports.dataPort = 6100;
    ports.rtspPort = 1554;
    const std::string document = BuildPortDocument(ports);
    int value = 0;
    ASSERT_TRUE(ReadPortConfigValue(document.c_str(), "rtspPort", value));
    EXPECT_EQ(value, 1554);
    ASSERT_TRUE(ReadPortConfigValue(document.c_str(), "netPort", value));
    EXPECT_EQ(value, 6100);
    EXPECT_FALSE(ReadPortConfigValue(document.c_str(), "dataPort", value));
    EXPECT_FALSE(ReadPortConfigValue("<config><ports><rtspPort>5</rtspPort></ports></config>", "rtspPort", value));
    EXPECT_FALSE(ReadPortConfigValue("<other><port><rtspPort>5</rtspPort></port></other>", "rtspPort", value));
    EXPECT_FALSE(ReadPortConfigValue("", "rtspPort", value));
    ASSERT_TRUE(ReadPortConfigValue("<config><port><rtspPort>x</rtspPort></port></config>", "rtspPort", value));
    EXPECT_EQ(value, 0);
}

TEST(PortDocument, SetIpRequestCarriesItsAttributesInOrderAndPortsOnlyWhenGiven)
{
    SetIpRequest r;
    r.password = "pa\"ss<";
    r.mac = "00:11:22:33:44:55";
    r.ip = "192.168.1.10";
    r.mask = "255.255.255.0";
    r.gateway = "192.168.1.1";
    r.dns1 = "8.8.8.8";
    r.dns2 = "";
    r.encryptType = "md5";
    const std::string plain = BuildSetIpDocument(r);
    const char* order[] = {
        "password=", "serialNo=", "dhcpSwitch=", "ipAddr=", "maskAddr=", "route=", "dns1=", "dns2=", "encryptType="};
    size_t at = 0;
    for (const char* name : order) {
        const size_t found = plain.find(name, at);
        ASSERT_NE(found, std::string::npos) << name << " in " << plain;
        at = found;
    }
    EXPECT_EQ(plain.find("httpPort"), std::string::npos);
    EXPECT_EQ(plain.find("dataPort"), std::string::npos);
    CMarkupSTL xml(plain.c_str());
    ASSERT_TRUE(xml.FindElement("searchSetIP"));
    EXPECT_EQ(xml.GetAttrib("password"), "pa\"ss<");
    EXPECT_EQ(xml.GetAttrib("dhcpSwitch"), "false");

    r.dhcp = true;
    r.httpPort = "8080";
    r.dataPort = "6036";
    const std::string withPorts = BuildSetIpDocument(r);
    EXPECT_LT(withPorts.find("encryptType="), withPorts.find("httpPort=\"8080\""));
    EXPECT_LT(withPorts.find("httpPort="), withPorts.find("dataPort=\"6036\""));
    CMarkupSTL again(withPorts.c_str());
    ASSERT_TRUE(again.FindElement("searchSetIP"));
    EXPECT_EQ(again.GetAttrib("dhcpSwitch"), "true");
}

} // namespace
