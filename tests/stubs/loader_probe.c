/* A library that reports what the in-memory loader did with it: its TLS callback
   and entry point count their notifications, the entry point refuses to attach
   while REDEVUVO_PROBE_REFUSE_ATTACH is set, and at detach it sets the flag the
   host handed it. */
#include <windows.h>

static int TlsAttachCount;
static int EntryAttachCount;
static volatile int *DetachFlag;

static void NTAPI CountTls(PVOID module, DWORD reason, PVOID reserved) {
  (void)module;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH)
    ++TlsAttachCount;
}

/* The linker collects the callbacks between the C runtime's .CRT$XLA and .CRT$XLZ. */
__attribute__((section(".CRT$XLB"), used)) PIMAGE_TLS_CALLBACK ProbeTlsCallback = CountTls;

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    if (GetEnvironmentVariableA("REDEVUVO_PROBE_REFUSE_ATTACH", NULL, 0) != 0)
      return FALSE;
    ++EntryAttachCount;
  }
  if (reason == DLL_PROCESS_DETACH && DetachFlag != NULL)
    *DetachFlag = 1;
  return TRUE;
}

__declspec(dllexport) int ProbeTlsAttachCount(void) {
  return TlsAttachCount;
}
__declspec(dllexport) int ProbeEntryAttachCount(void) {
  return EntryAttachCount;
}
__declspec(dllexport) void ProbeSetDetachFlag(volatile int *flag) {
  DetachFlag = flag;
}
