#include "SelfSignedCert.h"

#include <openssl/sha.h>

#include <openssl/x509v3.h>

SelfSignedCert::~SelfSignedCert()
{
    X509_free(m_cert);
    EVP_PKEY_free(m_key);
}

bool SelfSignedCert::Generate(const std::string& commonName)
{
    X509_free(m_cert);
    EVP_PKEY_free(m_key);
    m_cert = nullptr;
    m_key = EVP_EC_gen("P-256");
    if (m_key == nullptr) {
        return false;
    }
    X509* cert = X509_new();
    if (cert == nullptr) {
        return false;
    }
    constexpr long kYear = 365L * 24 * 60 * 60;
    const auto* name = reinterpret_cast<const unsigned char*>(commonName.c_str());
    bool ok = X509_set_version(cert, 2) == 1 && ASN1_INTEGER_set(X509_get_serialNumber(cert), 1) == 1 &&
              X509_gmtime_adj(X509_getm_notBefore(cert), -60) != nullptr &&
              X509_gmtime_adj(X509_getm_notAfter(cert), kYear) != nullptr && X509_set_pubkey(cert, m_key) == 1;
    X509_NAME* subject = X509_get_subject_name(cert);
    ok = ok && X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC, name, -1, -1, 0) == 1 &&
         X509_set_issuer_name(cert, subject) == 1 && X509_sign(cert, m_key, EVP_sha256()) > 0;
    if (!ok) {
        X509_free(cert);
        return false;
    }
    m_cert = cert;
    return true;
}

std::string SelfSignedCert::PublicKeyPin() const
{
    if (m_key == nullptr) {
        return {};
    }
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(m_key, &der);
    if (length <= 0) {
        return {};
    }
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(der, static_cast<std::size_t>(length), digest);
    OPENSSL_free(der);
    unsigned char text[4 * ((SHA256_DIGEST_LENGTH + 2) / 3) + 1] = {};
    EVP_EncodeBlock(text, digest, SHA256_DIGEST_LENGTH);
    return "sha256//" + std::string(reinterpret_cast<const char*>(text));
}
