// Asks Windows whether it trusts the Authenticode signature of each FILE, with
// the certificate authority in CA_DER (a DER file) among the machine's trusted
// roots for the duration of the run. Prints WinVerifyTrust's result for each,
// as "0x%08lx FILE" (0 for trusted); exits with the number of files not trusted.
//   verifytrust CA_DER FILE...
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <cstdio>
#include <vector>

namespace {

LONG VerifyFile(const char* path) {
  wchar_t widePath[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH)) return static_cast<LONG>(GetLastError());
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = widePath;
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;  // the throw-away authority publishes no revocation list
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  LONG result = WinVerifyTrust(nullptr, &action, &data);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(nullptr, &action, &data);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return fprintf(stderr, "usage: verifytrust CA_DER FILE...\n"), 100;
  std::vector<BYTE> der(16384);
  FILE* f = fopen(argv[1], "rb");
  size_t size = f ? fread(der.data(), 1, der.size(), f) : 0;
  if (f) fclose(f);
  HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
  PCCERT_CONTEXT ca = nullptr;
  if (!root || !CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(size),
                                                 CERT_STORE_ADD_REPLACE_EXISTING, &ca))
    return fprintf(stderr, "cannot add %s to the trusted roots: %lu\n", argv[1], GetLastError()), 100;
  int untrusted = 0;
  for (int i = 2; i < argc; ++i) {
    LONG result = VerifyFile(argv[i]);
    printf("0x%08lx %s\n", static_cast<unsigned long>(result), argv[i]);
    untrusted += result != 0;
  }
  CertDeleteCertificateFromStore(ca);  // frees the context too
  CertCloseStore(root, 0);
  return untrusted;
}
