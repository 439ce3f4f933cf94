#pragma once

// What the library has learnt, for this run, about each device's place in the authenticated
// protocol: whether it speaks it, the X25519 key it announced first, its password salt, and the
// address its reports come from. A report that contradicts what is pinned (another key, no key
// from a device that once had one, another sender address) is a forgery and is dropped. Also
// caches the slow password keys, so that repeated requests to one device with one password pay
// the key derivation once. Shared by the library's thread and its callers: every member locks.
// Bounded, and it follows the device table: a device the table no longer holds (dropped for want
// of room, given up for another, gone) is released; its pin is kept while there is room and is
// the first to go when a new device needs it. So a device that answers our probe is never
// refused here for want of room that a flood of invented devices took.

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace scanix::search {

class DeviceKeys
{
public:
    struct Device
    {
        bool secure = false;   // has spoken the authenticated protocol in this run
        std::string publicKey; // raw X25519 key, when secure
        std::string salt;      // raw salt; empty while the device is not activated
        std::uint32_t source = 0;
    };

    // `capacity`: devices pinned at once, held and released; at least as many as the device
    // table holds, so that released ones make room for every device the table takes.
    explicit DeviceKeys(std::size_t capacity);

    // A report of `mac` from `source`: false when it must be dropped as forged (or when a new
    // device does not fit). `verified`: its tag proved it came from the holder of its key, for
    // our probe. Learns a new device, its salt, its move, and its upgrade to the new protocol;
    // an admitted device is held until released.
    bool Admit(const std::string& mac,
               bool hasAuth,
               bool verified,
               const std::string& publicKey,
               const std::string& salt,
               std::uint32_t source);
    // The device table does not hold `mac` (any more): its pin may make room for a new device.
    void Release(const std::string& mac);
    // An authenticated answer of `mac` came from `source` (the device moved): its reports are
    // expected from there from now on.
    void Moved(const std::string& mac, std::uint32_t source);
    // A new salt confirmed by an authenticated activation answer.
    void SetSalt(const std::string& mac, const std::string& salt);
    std::optional<Device> Find(const std::string& mac) const;
    // scrypt(password, salt), cached per MAC, salt and password; empty on failure.
    std::string PasswordKey(const std::string& mac, const std::string& salt, const std::string& password);

private:
    struct Entry
    {
        Device device;
        bool released = false;
        std::list<std::string>::iterator releasedAt; // its place in m_released, when released
    };
    struct CachedKey
    {
        std::string salt;
        std::string passwordTag; // HMAC of the password under a key of this run: no clear copy
        std::string key;
    };

    // A report of a device already pinned: whether it agrees with the pin (which it may update).
    static bool Agrees(Device& device,
                       bool hasAuth,
                       bool verified,
                       const std::string& publicKey,
                       const std::string& salt,
                       std::uint32_t source);
    // Forgets the device released longest ago; false when every device is held.
    bool EvictReleased();

    std::size_t m_capacity;
    std::string m_tagKey;
    mutable std::mutex m_lock;
    std::map<std::string, Entry> m_devices;
    // Released devices, longest released first.
    std::list<std::string> m_released;
    std::map<std::string, CachedKey> m_keys;
};

} // namespace scanix::search
