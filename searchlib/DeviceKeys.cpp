#include "DeviceKeys.h"

#include "Crypto.h"

namespace scanix::search {

DeviceKeys::DeviceKeys(std::size_t capacity)
    : m_capacity(capacity)
    , m_tagKey(proto::crypto::RandomBytes(32))
{}

bool DeviceKeys::Admit(const std::string& mac,
                       bool hasAuth,
                       bool verified,
                       const std::string& publicKey,
                       const std::string& salt,
                       std::uint32_t source)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_devices.find(mac);
    if (found == m_devices.end()) {
        // A device of the new protocol is taken first from a report that proves its key: a
        // copy of its report sent from elsewhere, or a hello anyone could send, pins nothing.
        if (hasAuth && !verified) {
            return false;
        }
        if (m_devices.size() >= m_capacity && !EvictReleased()) {
            return false;
        }
        m_devices[mac].device = Device{hasAuth, publicKey, salt, source};
        return true;
    }
    Entry& entry = found->second;
    if (!Agrees(entry.device, hasAuth, verified, publicKey, salt, source)) {
        return false;
    }
    if (entry.released) {
        m_released.erase(entry.releasedAt);
        entry.released = false;
    }
    return true;
}

bool DeviceKeys::Agrees(Device& device,
                        bool hasAuth,
                        bool verified,
                        const std::string& publicKey,
                        const std::string& salt,
                        std::uint32_t source)
{
    if (device.secure) {
        // Once heard speaking the new protocol, a device is never taken for an old one again,
        // and its key never changes within a run.
        if (!hasAuth || publicKey != device.publicKey) {
            return false;
        }
        if (verified) {
            device.source = source;
            device.salt = salt;
            return true;
        }
        // Its hello and announcements carry no tag: they count from where it last proved itself.
        return device.source == source;
    }
    if (hasAuth) {
        if (!verified) {
            return false;
        }
        device = Device{true, publicKey, salt, source};
        return true;
    }
    return device.source == source;
}

void DeviceKeys::Release(const std::string& mac)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_devices.find(mac);
    if (found == m_devices.end() || found->second.released) {
        return;
    }
    found->second.released = true;
    found->second.releasedAt = m_released.insert(m_released.end(), mac);
}

bool DeviceKeys::EvictReleased()
{
    if (m_released.empty()) {
        return false;
    }
    m_devices.erase(m_released.front());
    m_released.pop_front();
    return true;
}

void DeviceKeys::Moved(const std::string& mac, std::uint32_t source)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_devices.find(mac);
    if (found != m_devices.end()) {
        found->second.device.source = source;
    }
}

void DeviceKeys::SetSalt(const std::string& mac, const std::string& salt)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_devices.find(mac);
    if (found != m_devices.end()) {
        found->second.device.salt = salt;
    }
}

std::optional<DeviceKeys::Device> DeviceKeys::Find(const std::string& mac) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto found = m_devices.find(mac);
    if (found == m_devices.end()) {
        return std::nullopt;
    }
    return found->second.device;
}

std::string DeviceKeys::PasswordKey(const std::string& mac, const std::string& salt, const std::string& password)
{
    const std::string tag = proto::crypto::HmacSha256(m_tagKey, password);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto cached = m_keys.find(mac);
        if (cached != m_keys.end() && cached->second.salt == salt &&
            proto::crypto::Equal(cached->second.passwordTag, tag)) {
            return cached->second.key;
        }
    }
    // Derived outside the lock: it is slow on purpose, and the library's thread must not wait.
    const std::string key = proto::crypto::DerivePasswordKey(password, salt);
    if (key.empty()) {
        return key;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_keys.size() >= m_capacity && m_keys.count(mac) == 0) {
        m_keys.erase(m_keys.begin());
    }
    m_keys[mac] = CachedKey{salt, tag, key};
    return key;
}

} // namespace scanix::search
