// The least a Windows run answering %OS% must do: one WMI query of Win32_OperatingSystem,
// its Caption written as one line to a file.
// Usage: wmi_floor OUTPUT
#include <windows.h>
// after windows.h
#include <oleauto.h>
#include <wbemcli.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  char caption[512] = "";
  if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    IWbemLocator* locator = nullptr;
    IWbemServices* services = nullptr;
    IEnumWbemClassObject* found = nullptr;
    BSTR root = SysAllocString(L"ROOT\\CIMV2");
    BSTR language = SysAllocString(L"WQL");
    BSTR query = SysAllocString(L"SELECT Caption FROM Win32_OperatingSystem");
    if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWbemLocator, reinterpret_cast<void**>(&locator))) &&
        SUCCEEDED(locator->ConnectServer(root, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                         &services)) &&
        SUCCEEDED(services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY, nullptr, &found))) {
      IWbemClassObject* row = nullptr;
      ULONG got = 0;
      if (SUCCEEDED(found->Next(WBEM_INFINITE, 1, &row, &got)) && got == 1) {
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(row->Get(L"Caption", 0, &v, nullptr, nullptr)) && v.vt == VT_BSTR)
          WideCharToMultiByte(CP_ACP, 0, v.bstrVal, -1, caption, sizeof caption, nullptr, nullptr);
        VariantClear(&v);
        row->Release();
      }
    }
    if (found) found->Release();
    if (services) services->Release();
    if (locator) locator->Release();
    SysFreeString(query);
    SysFreeString(language);
    SysFreeString(root);
    CoUninitialize();
  }
  DeleteFileA(argv[1]);  // a new file, as a run makes its result
  FILE* out = std::fopen(argv[1], "w");
  if (!out) return 1;
  std::fprintf(out, "%s\r\n", caption);
  return std::fclose(out) == 0 ? 0 : 1;
}
