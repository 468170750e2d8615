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

bool Remove(HCERTSTORE store, const std::vector<BYTE>& bytes)
{
    PCCERT_CONTEXT certificate =
        CertCreateCertificateContext(X509_ASN_ENCODING, bytes.data(), static_cast<DWORD>(bytes.size()));
    if (!certificate)
        return false;
    bool ok = true;
    for (;;) {
        PCCERT_CONTEXT found =
            CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, certificate, nullptr);
        if (!found)
            break;
        // Deleting frees the found context.
        if (!CertDeleteCertificateFromStore(found)) {
            ok = false;
            break;
        }
    }
    CertFreeCertificateContext(certificate);
    return ok;
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
    const bool ok = adding ? Add(store, bytes) : Remove(store, bytes);
    if (!ok)
        std::fprintf(stderr, "TlTestRootAuthority: %s failed (%lu)\n", argv[1], GetLastError());
    CertCloseStore(store, 0);
    return ok ? 0 : 1;
}
