#include "SelfSignedCert.h"

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
