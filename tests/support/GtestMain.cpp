// The main of the Windows test programs.
//
// GoogleTest's thread-local values on Windows start a watcher thread for each thread
// that first uses one (a SCOPED_TRACE, a failure). When the program ends while that
// thread is still being set up, this Wine kills the process with SIGSEGV in its exit
// path, after every test passed. The main thread's watcher is therefore started
// first, and the tests begin once it runs our code: its thread-attach callback below.
// The program also ends without the DLL detach round of ExitProcess, in which this
// Wine now and then hangs after every test passed: the results are flushed and the
// process terminates itself. The Windows tests keep nothing for static destructors.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

HANDLE g_hThreadAttached = nullptr;

void NTAPI OnTlsCallback(PVOID, DWORD dwReason, PVOID) {
    if (dwReason == DLL_THREAD_ATTACH && g_hThreadAttached) ::SetEvent(g_hThreadAttached);
}

void StartMainThreadWatcher() {
    const DWORD kWatcherStartTimeout = 10000;
    g_hThreadAttached = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    { const ::testing::ScopedTrace trace(__FILE__, __LINE__, "start-up"); }
    if (!g_hThreadAttached) return;
    ::WaitForSingleObject(g_hThreadAttached, kWatcherStartTimeout);
    HANDLE hEvent = g_hThreadAttached;
    g_hThreadAttached = nullptr;
    ::CloseHandle(hEvent);
}

}  // namespace

// The loader calls the program's TLS callbacks for every thread it starts.
extern "C" __attribute__((section(".CRT$XLY"), used)) const PIMAGE_TLS_CALLBACK g_pOrvTlsCallback = OnTlsCallback;

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    StartMainThreadWatcher();
    const int nResult = RUN_ALL_TESTS();
    std::fflush(nullptr);
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(nResult));
    return nResult;
}
