#pragma once

// The engine's fixed-size device record and the notification handed to observers. Both are
// plain byte layouts copied by value between threads, so their sizes are part of the contract.

#include <cstddef>
#include <cstring>
#include <string>

struct DEVICE_INFO
{
    char devName[32];
    char ipAddr[20];
    char mask[20];
    // The device's second address, the fallback when the first cannot be reached.
    char ipAddr2[20];
    // The default gateway.
    char route[20];
    char dns1[20];
    char dns2[20];
    int dataPort;
    int httpPort;
    int rtspPort;
    // Six upper-case hexadecimal pairs joined by colons: the device's identity.
    char mac[64];
    // The device-type key, e.g. "QMX_IPC".
    char productSeries[16];
    char softwareVer[16];
    char softwareBulildDate[16];
    char hardwareVer[16];
    char kernelVer[16];
    char productModel[24];
    char runningTime[64];
    char bootTime[20];
    bool dhcpSwitch;
    char encryptType[19];
    int deviceActivated;
    // 1 when the web page is served over HTTPS.
    int httpType;
};

// Kind codes of SEARCH_INFO::opt.
enum SearchInfoOpt
{
    SEARCH_OPT_FOUND = 0,
    SEARCH_OPT_GONE = 1,
    SEARCH_OPT_CHANGED = 2
};

struct SEARCH_INFO
{
    int opt;
    DEVICE_INFO devInfo;
};

static_assert(sizeof(int) == 4 && sizeof(bool) == 1, "the records assume 32-bit int and 1-byte bool");
static_assert(offsetof(DEVICE_INFO, dataPort) == 152, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, mac) == 164, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, dhcpSwitch) == 416, "DEVICE_INFO layout");
static_assert(offsetof(DEVICE_INFO, deviceActivated) == 436, "DEVICE_INFO layout");
static_assert(sizeof(DEVICE_INFO) == 444, "DEVICE_INFO is a 444-byte record");
static_assert(offsetof(SEARCH_INFO, devInfo) == 4, "SEARCH_INFO layout");
static_assert(sizeof(SEARCH_INFO) == 448, "SEARCH_INFO is a 448-byte record");

// The length of the longest start of text (length bytes) that is at most limit bytes and does
// not end inside a UTF-8 character, so a cut never leaves half a character behind. A byte run
// that is not UTF-8 (more continuation bytes than a character has) is cut at limit.
inline std::size_t Utf8CutLength(const char* text, std::size_t length, std::size_t limit)
{
    if (length <= limit) {
        return length;
    }
    std::size_t n = limit;
    for (int step = 0; step < 3 && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80; ++step) {
        --n;
    }
    return (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80 ? limit : n;
}

// Copies a text into a fixed-size field: cut to at most the field's width minus one, on a
// character boundary, the rest zero-filled, so the field is always NUL-terminated.
template <std::size_t N> void CopyText(char (&field)[N], const char* text, std::size_t length)
{
    const std::size_t n = text == nullptr ? 0 : Utf8CutLength(text, length, N - 1);
    if (n > 0) {
        std::memcpy(field, text, n);
    }
    std::memset(field + n, 0, N - n);
}

template <std::size_t N> void CopyText(char (&field)[N], const std::string& text)
{
    CopyText(field, text.data(), text.size());
}

template <std::size_t N> void CopyText(char (&field)[N], const char* text)
{
    CopyText(field, text, text == nullptr ? 0 : std::strlen(text));
}
