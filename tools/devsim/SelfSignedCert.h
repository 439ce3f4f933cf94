#pragma once

// A throw-away key and self-signed certificate for the simulated devices that serve their web
// page over HTTPS. Made once per simulator process: nothing is written to disk.

#include <openssl/evp.h>
#include <string>

#include <openssl/x509.h>

class SelfSignedCert
{
public:
    SelfSignedCert() = default;
    ~SelfSignedCert();
    SelfSignedCert(const SelfSignedCert&) = delete;
    SelfSignedCert& operator=(const SelfSignedCert&) = delete;

    // Makes a P-256 key and a certificate for `commonName` valid for a year; false on failure.
    bool Generate(const std::string& commonName);
    // Owned here; the HTTPS servers take references of their own.
    X509* Certificate() const
    {
        return m_cert;
    }
    EVP_PKEY* Key() const
    {
        return m_key;
    }
    // "sha256//" and the Base64 SHA-256 of the public key (the form libcurl pins); empty
    // before Generate.
    std::string PublicKeyPin() const;

private:
    X509* m_cert = nullptr;
    EVP_PKEY* m_key = nullptr;
};
