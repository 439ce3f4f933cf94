#pragma once

#include <string>

// HTTP POST requests to a device's configuration interface with Basic authentication.
// Both calls block their caller; every failure collapses into the call's failure code.

enum DeviceHttpCode
{
    DEVICE_REQUEST_OK = 3,
    DEVICE_CONFIG_OK = 4,
    DEVICE_REQUEST_FAILED = 12,
    DEVICE_CONFIG_FAILED = 13
};

// Longest answer body accepted: a device cannot make us allocate more than this.
constexpr int kMaxDeviceAnswerBytes = 1024 * 1024;

// User plus password may hold at most this many bytes: "user:password" must fit the
// 64-byte credentials buffer in its Base64 form.
constexpr int kMaxCredentialBytes = 44;

struct DeviceHttpTimeouts
{
    // Bounds a connection attempt that never completes (a host that drops our SYN).
    int connectMs = 3000;
    // Bounds the exchange once connected: the answers are small, so the whole reply must
    // arrive within this time.
    int receiveMs = 5000;
};

// How to reach a device's web interface. With `https` the request goes over TLS and the
// device's key must match `pinnedKey` ("sha256//" and the Base64 SHA-256 of its public key, as
// the device vouched for it in an authenticated answer): its self-signed certificate is trusted
// for that key alone. An HTTPS request without a pin is refused.
struct DeviceTls
{
    bool https = false;
    std::string pinnedKey;
};

// POSTs body (may be null) to http://host:port/path as HTTP/1.0 and reads the answer.
// host is a dotted IPv4 address. On success returns DEVICE_REQUEST_OK and hands the caller
// a zero-filled buffer of answer length + 1 bytes (*answer, release with delete[]) and that
// size (*answerSize). The length is the answer's Content-Length, or what arrived when the
// device sent none. Anything but status 200, an answer over kMaxDeviceAnswerBytes, or
// credentials over kMaxCredentialBytes give DEVICE_REQUEST_FAILED.
int PostDeviceRequest(const char* host,
                      int port,
                      const char* user,
                      const char* password,
                      const char* path,
                      char** answer,
                      int* answerSize,
                      const char* body,
                      int bodyLength,
                      const DeviceHttpTimeouts& timeouts = DeviceHttpTimeouts(),
                      const DeviceTls& tls = DeviceTls());

// POSTs body to http://host:port/path and looks only at the status: DEVICE_CONFIG_OK for
// 200, else DEVICE_CONFIG_FAILED. The answer body is never read.
int PostDeviceConfig(const char* host,
                     int port,
                     const char* user,
                     const char* password,
                     const char* path,
                     const char* body,
                     int bodyLength,
                     const DeviceHttpTimeouts& timeouts = DeviceHttpTimeouts(),
                     const DeviceTls& tls = DeviceTls());
