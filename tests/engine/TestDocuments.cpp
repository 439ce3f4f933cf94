#include "TestDocuments.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

std::string LoadDocument(const std::string& name)
{
    std::ifstream in(std::string(SCANIX_ENGINE_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing test document " << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "'" << from << "' is not in the document";
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string CameraDocument(const std::string& ip, const std::string& mask, const std::string& route)
{
    std::string doc = LoadDocument("ipc_found.xml");
    doc = Replaced(doc, "<ip>192.168.1.64</ip>", "<ip>" + ip + "</ip>");
    doc = Replaced(doc, "<mask>255.255.255.0</mask>", "<mask>" + mask + "</mask>");
    return Replaced(doc, "<route>192.168.1.1</route>", "<route>" + route + "</route>");
}

std::string Report(CScanixManage& manager, const std::string& mac, int kind, const char* xml)
{
    std::vector<char> buffer(mac.begin(), mac.end());
    buffer.push_back('\0');
    manager.OnSearchCallback(buffer.data(), kind, xml);
    return buffer.data();
}

std::string Report(CScanixManage& manager, const std::string& mac, int kind, const std::string& xml)
{
    return Report(manager, mac, kind, xml.c_str());
}

std::vector<std::string> StoredMacs(const CScanixManage& manager)
{
    std::vector<std::string> macs;
    for (const DEVICE_INFO& device : manager.Devices()) {
        macs.emplace_back(device.mac);
    }
    return macs;
}

void RecordingObserver::Update(SEARCH_INFO info, CObservable<SEARCH_INFO>* subject)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.push_back(info);
    m_subject = subject;
}

std::vector<SEARCH_INFO> RecordingObserver::Received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

CObservable<SEARCH_INFO>* RecordingObserver::LastSubject() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_subject;
}
