#include "DeviceHttpClient.h"

#include "CBase64Coder.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <string>

namespace {

const char kAgent[] = "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)";

void InitCurlOnce()
{
    // curl_global_init is not thread-safe in every libcurl; run it once for the process.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// 0.0.0.0 is what a device reports for an address it does not use; a connection to it
// would reach this host instead, with the device's credentials.
bool IsDottedIPv4(const char* host)
{
    in_addr addr{};
    return host != nullptr && std::strlen(host) <= 127 && inet_pton(AF_INET, host, &addr) == 1 &&
           addr.s_addr != htonl(INADDR_ANY);
}

// The path goes into the request line: refuse anything that could end or reshape it.
bool IsPlainPath(const char* path)
{
    if (path == nullptr || path[0] != '/') {
        return false;
    }
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p <= ' ' || *p >= 127 || *p == '#' || *p == '?') {
            return false;
        }
    }
    return true;
}

// "Authorization: Basic ..." from user and password, built in the fixed buffers the
// device protocol assumes; empty when the credentials do not fit.
std::string BasicAuthHeader(const char* user, const char* password)
{
    const char* u = user != nullptr ? user : "";
    const char* p = password != nullptr ? password : "";
    if (std::strlen(u) + std::strlen(p) > static_cast<size_t>(kMaxCredentialBytes)) {
        return {};
    }
    char plain[64] = {};
    char encoded[64] = {};
    const int n = std::snprintf(plain, sizeof plain, "%s:%s", u, p);
    CBase64Coder coder;
    coder.Encode(reinterpret_cast<const unsigned char*>(plain), n, encoded);
    return std::string("Authorization: Basic ") + encoded;
}

// One POST on its own easy handle. The header list, URL, body and answer are members, so
// they outlive the transfer that points into them; the destructor releases the handles.
class CurlPost
{
public:
    CurlPost()
        : m_curl(curl_easy_init())
    {}
    ~CurlPost()
    {
        if (m_curl != nullptr) {
            curl_easy_cleanup(m_curl);
        }
        curl_slist_free_all(m_headers);
    }
    CurlPost(const CurlPost&) = delete;
    CurlPost& operator=(const CurlPost&) = delete;

    // Runs the request; true when it completed with status 200.
    bool Run(const char* host,
             int port,
             const char* path,
             const std::string& auth,
             const char* body,
             int bodyLength,
             bool readAnswer,
             const DeviceHttpTimeouts& timeouts,
             const DeviceTls& tls)
    {
        if (m_curl == nullptr || !AddHeader(auth.c_str()) || !AddHeader("Accept:") || !AddHeader("Content-Type:")) {
            return false;
        }
        if (tls.https && tls.pinnedKey.empty()) {
            return false;
        }
        m_url = (tls.https ? "https://" : "http://") + std::string(host) + ":" + std::to_string(port) + path;
        if (body != nullptr && bodyLength > 0) {
            m_body.assign(body, static_cast<size_t>(bodyLength));
        }
        m_readAnswer = readAnswer;

        curl_easy_setopt(m_curl, CURLOPT_URL, m_url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_PROTOCOLS_STR, tls.https ? "https" : "http");
        if (tls.https) {
            // Devices sign their own certificates: no authority vouches for them, the device
            // does, for its key, in its authenticated answer. The pin is checked before any
            // byte of the request (and its credentials) is sent.
            m_pin = tls.pinnedKey;
            curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYPEER, 0L);
            curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYHOST, 0L);
            curl_easy_setopt(m_curl, CURLOPT_PINNEDPUBLICKEY, m_pin.c_str());
        }
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        // Devices sit on the local wire: never go through a proxy from the environment.
        curl_easy_setopt(m_curl, CURLOPT_PROXY, "");
        curl_easy_setopt(m_curl, CURLOPT_USERAGENT, kAgent);
        curl_easy_setopt(m_curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, m_headers);
        curl_easy_setopt(m_curl, CURLOPT_POST, 1L);
        curl_easy_setopt(m_curl, CURLOPT_POSTFIELDS, m_body.data());
        curl_easy_setopt(m_curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_body.size()));
        curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connectMs));
        curl_easy_setopt(m_curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts.connectMs) + timeouts.receiveMs);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CurlPost::OnBody);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, this);
        if (readAnswer) {
            // Refuses at once an announced length over the cap; OnBody bounds the rest.
            curl_easy_setopt(m_curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxDeviceAnswerBytes));
        }

        const CURLcode rc = curl_easy_perform(m_curl);
        // The status-only request stops reading at the first body byte on purpose.
        const bool stoppedOnPurpose = !readAnswer && rc == CURLE_WRITE_ERROR && !m_overflow;
        if (rc != CURLE_OK && !stoppedOnPurpose) {
            return false;
        }
        long status = 0;
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
        return status == 200;
    }

    // Announced Content-Length, or -1 when the answer carried none.
    long long ContentLength() const
    {
        curl_off_t length = -1;
        curl_easy_getinfo(m_curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        return length;
    }

    const std::string& Answer() const
    {
        return m_answer;
    }

private:
    bool AddHeader(const char* line)
    {
        curl_slist* grown = curl_slist_append(m_headers, line);
        if (grown == nullptr) {
            return false;
        }
        m_headers = grown;
        return true;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self)
    {
        auto* post = static_cast<CurlPost*>(self);
        const size_t n = size * count;
        if (!post->m_readAnswer) {
            return 0;
        }
        if (post->m_answer.size() + n > static_cast<size_t>(kMaxDeviceAnswerBytes)) {
            post->m_overflow = true;
            return 0;
        }
        post->m_answer.append(data, n);
        return n;
    }

    CURL* m_curl = nullptr;
    curl_slist* m_headers = nullptr;
    std::string m_url;
    std::string m_pin;
    std::string m_body;
    std::string m_answer;
    bool m_readAnswer = false;
    bool m_overflow = false;
};

bool ValidTarget(const char* host, int port, const char* path)
{
    return IsDottedIPv4(host) && port > 0 && port <= 65535 && IsPlainPath(path);
}

} // namespace

int PostDeviceRequest(const char* host,
                      int port,
                      const char* user,
                      const char* password,
                      const char* path,
                      char** answer,
                      int* answerSize,
                      const char* body,
                      int bodyLength,
                      const DeviceHttpTimeouts& timeouts,
                      const DeviceTls& tls)
{
    if (answer == nullptr || answerSize == nullptr || !ValidTarget(host, port, path)) {
        return DEVICE_REQUEST_FAILED;
    }
    const std::string auth = BasicAuthHeader(user, password);
    if (auth.empty()) {
        return DEVICE_REQUEST_FAILED;
    }
    InitCurlOnce();
    CurlPost post;
    if (!post.Run(host, port, path, auth, body, bodyLength, true, timeouts, tls)) {
        return DEVICE_REQUEST_FAILED;
    }
    const long long announced = post.ContentLength();
    const std::string& received = post.Answer();
    // libcurl fails a transfer shorter than announced, so the received text always fits.
    const size_t length = announced >= 0 ? static_cast<size_t>(announced) : received.size();
    if (length > static_cast<size_t>(kMaxDeviceAnswerBytes) || received.size() > length) {
        return DEVICE_REQUEST_FAILED;
    }
    char* buffer = new char[length + 1]();
    std::memcpy(buffer, received.data(), received.size());
    *answer = buffer;
    *answerSize = static_cast<int>(length + 1);
    return DEVICE_REQUEST_OK;
}

int PostDeviceConfig(const char* host,
                     int port,
                     const char* user,
                     const char* password,
                     const char* path,
                     const char* body,
                     int bodyLength,
                     const DeviceHttpTimeouts& timeouts,
                     const DeviceTls& tls)
{
    if (!ValidTarget(host, port, path)) {
        return DEVICE_CONFIG_FAILED;
    }
    const std::string auth = BasicAuthHeader(user, password);
    if (auth.empty()) {
        return DEVICE_CONFIG_FAILED;
    }
    InitCurlOnce();
    CurlPost post;
    return post.Run(host, port, path, auth, body, bodyLength, false, timeouts, tls) ? DEVICE_CONFIG_OK
                                                                                    : DEVICE_CONFIG_FAILED;
}
