// The host's own side of CScanixManage: its network settings and the link-local route.
#include "CScanixManage.h"
#include "HostNetwork.h"

#include <string>

void CScanixManage::GetHostNetwork(std::string& ip, std::string& mask, std::string& gateway, std::string& dns)
{
    ReadHostNetwork(ip, mask, gateway, dns);
}

void CScanixManage::AddLinkLocalRoute(std::string ip)
{
    m_linkLocalRoute.Ensure(ip);
}

const LinkLocalRoute& CScanixManage::GetLinkLocalRoute() const
{
    return m_linkLocalRoute;
}
