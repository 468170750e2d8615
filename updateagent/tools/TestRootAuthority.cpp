// Adds the HTTPS tests' certificate authority to the current user's trusted
// roots, or takes it out again:
//   TlTestRootAuthority add|remove <certificate.der>
// Exit code 0 on success, 1 on failure, 2 for bad arguments.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
bool ReadBytes(const char* path, std::vector<BYTE>& bytes)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    BYTE buffer[4096];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + read);
    std::fclose(file);
    return !bytes.empty();
}

bool Add(HCERTSTORE store, const std::vector<BYTE>& bytes)
{
    return CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, bytes.data(), static_cast<DWORD>(bytes.size()),
                                            CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != FALSE;
}

// Found by its SHA-1 hash, the name the store keeps it under.
bool Remove(HCERTSTORE store, const std::vector<BYTE>& bytes)
{
    PCCERT_CONTEXT certificate =
        CertCreateCertificateContext(X509_ASN_ENCODING, bytes.data(), static_cast<DWORD>(bytes.size()));
    if (!certificate)
        return false;
    BYTE hash[20];
    DWORD size = sizeof hash;
    const bool hashed = CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash, &size) != FALSE;
    CertFreeCertificateContext(certificate);
    if (!hashed)
        return false;
    CRYPT_HASH_BLOB blob = {size, hash};
    bool removed = false;
    for (;;) {
        PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &blob, nullptr);
        if (!found)
            break;
        // Deleting frees the found context.
        if (!CertDeleteCertificateFromStore(found))
            return false;
        removed = true;
    }
    if (!removed)
        std::fprintf(stderr, "TlTestRootAuthority: the authority was not in the store\n");
    return true;
}
}

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "add") != 0 && std::strcmp(argv[1], "remove") != 0)) {
        std::fprintf(stderr, "usage: TlTestRootAuthority add|remove <certificate.der>\n");
        return 2;
    }
    std::vector<BYTE> bytes;
    if (!ReadBytes(argv[2], bytes)) {
        std::fprintf(stderr, "TlTestRootAuthority: cannot read %s\n", argv[2]);
        return 1;
    }
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"ROOT");
    if (!store) {
        std::fprintf(stderr, "TlTestRootAuthority: cannot open the ROOT store (%lu)\n", GetLastError());
        return 1;
    }
    const bool adding = std::strcmp(argv[1], "add") == 0;
    bool ok = adding ? Add(store, bytes) : Remove(store, bytes);
    // Written through to the registry now, not at some later close.
    if (ok && !CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr))
        std::fprintf(stderr, "TlTestRootAuthority: commit not supported (%lu)\n", GetLastError());
    if (!ok)
        std::fprintf(stderr, "TlTestRootAuthority: %s failed (%lu)\n", argv[1], GetLastError());
    CertCloseStore(store, 0);
    return ok ? 0 : 1;
}
